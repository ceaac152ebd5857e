#pragma once
// Conversion between the program's CP932 texts and the UTF-16 texts of the
// W functions, so windows show Japanese whatever the system code page is.
#include <string>
#include <string_view>

namespace qel::win {

std::wstring Wide(std::string_view cp932);
std::string Narrow(std::wstring_view wide);  // characters without a CP932 form become '?'

}  // namespace qel::win
