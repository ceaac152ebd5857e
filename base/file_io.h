#pragma once
// Whole-file reading and writing with CP932 path names. The program reads a
// file completely before it changes anything, and replaces a file only after
// the new contents were written in full, so a failure never leaves half a
// grid or half a file behind.
#include <stdexcept>
#include <string>

namespace qel {

// A file could not be read or written; the text is the system's own message
// (in CP932) followed by the file name.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole contents of the file. Throws FileError.
std::string ReadWholeFile(const std::string& path);

// Writes `data` to a temporary file in the target's folder, then replaces
// the target with it. Throws FileError and leaves an existing target as it was.
void ReplaceFileContents(const std::string& path, const std::string& data);

}  // namespace qel
