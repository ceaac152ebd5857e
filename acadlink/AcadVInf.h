#pragma once
// The version text of an AutoCAD program file, from the product version of
// its version resource. Portable; reading the resource is AcadVInf_win.h.
#include <cstdint>
#include <string>

namespace qel {

// "major.minor" immediately followed by the build number ("15.0" and 6 give
// "15.06"); with `full`, "." and the revision appended.
std::string AcadVersionText(std::uint32_t productVersionMS, std::uint32_t productVersionLS, bool full);

}  // namespace qel
