#pragma once
#include <string>

namespace qel::win {

// The system's own text for a Win32 or HRESULT error code, in CP932, without
// the trailing line break; for the usual COM and automation codes our own
// text where the system has none; otherwise the code itself.
std::string SystemMessage(unsigned long code);

}  // namespace qel::win
