#pragma once
#include <string>

namespace qel::win {

// The system's own text for a Win32 or HRESULT error code, in CP932, without
// the trailing line break; the code itself when the system has no text.
std::string SystemMessage(unsigned long code);

}  // namespace qel::win
