#include <windows.h>

#include <string>

#include "pdf/pdf_pages.h"

namespace qel::pdf {

std::string Utf8FromCp932(const std::string& text) {
  if (text.empty()) return {};
  // Without MB_ERR_INVALID_CHARS a byte that is no character becomes the
  // code page's default character instead of failing the whole text.
  const int wideLength = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace qel::pdf
