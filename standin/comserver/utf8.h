#pragma once
// UTF-8 <-> UTF-16 for the stand-ins' files (CSV, SVG, Visio XML) and
// messages; the servers hold every text in UTF-16 as COM hands it over.
#include <string>

namespace qel::standin {

std::wstring FromUtf8(const std::string& text);
std::string ToUtf8(const std::wstring& text);

}  // namespace qel::standin
