#pragma once
// Whole-file reading and writing with CP932 path names. The program reads a
// file completely before it changes anything, and replaces a file only after
// the new contents were written in full, so a failure never leaves half a
// grid or half a file behind.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace qel {

// A file could not be read or written; the text is the system's own message
// (in CP932) followed by the file name.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// No list or equipment table comes near this size; a larger file is refused
// before anything is allocated for it, instead of exhausting memory.
inline constexpr std::uint64_t kMaxReadFileSize = std::uint64_t{256} << 20;

// The whole contents of the file. Only regular files are read: a device
// name such as COM1 or a pipe could block the reader forever. Throws
// FileError, also for a file over kMaxReadFileSize and when memory runs out.
std::string ReadWholeFile(const std::string& path);

// Writes `data` to a fresh temporary file in the target's folder, then
// replaces the target with it, keeping the target's attributes. Throws
// FileError and leaves an existing target as it was.
void ReplaceFileContents(const std::string& path, const std::string& data);

// The refusals both platforms' readers share, with the file name.
[[noreturn]] void ThrowFileTooLarge(const std::string& path);
[[noreturn]] void ThrowNotARegularFile(const std::string& path);
[[noreturn]] void ThrowOutOfMemory(const std::string& path);

// The candidate names for the temporary file of a save, tried in turn
// until one can be created new: "<target>.qel-tmp", "<target>.qel-tmp1", ...
std::string TemporarySaveName(const std::string& target, int attempt);
inline constexpr int kTemporarySaveAttempts = 100;

}  // namespace qel
