#include <errno.h>
#include <iconv.h>

#include <string>

#include "pdf/pdf_pages.h"

namespace qel::pdf {

std::string Utf8FromCp932(const std::string& text) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw PdfError("iconv: no CP932");
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  while (inLeft > 0) {
    char* to = buffer;
    size_t toLeft = sizeof buffer;
    const size_t done = iconv(cd, &in, &inLeft, &to, &toLeft);
    out.append(buffer, static_cast<size_t>(to - buffer));
    if (done == static_cast<size_t>(-1) && errno != E2BIG) {  // not a character: skip one byte
      out += '?';
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace qel::pdf
