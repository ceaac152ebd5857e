// File access of the native (Linux) build, used by the unit tests and the
// benchmarks. The Windows build has its own, over the wide Win32 file API.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_io.h"

namespace qel {

namespace {
[[noreturn]] void Fail(int err, const std::string& path) {
  throw FileError(std::string(std::strerror(err)) + ": " + path);
}

struct Fd {
  int fd;
  ~Fd() { if (fd >= 0) ::close(fd); }
};
}  // namespace

std::string ReadWholeFile(const std::string& path) {
  // Non-blocking, so that opening a FIFO without a writer returns at once;
  // it is refused below, and regular files ignore the flag.
  Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (f.fd < 0) Fail(errno, path);
  struct stat st{};
  if (::fstat(f.fd, &st) != 0) Fail(errno, path);
  if (S_ISDIR(st.st_mode)) Fail(EISDIR, path);
  if (!S_ISREG(st.st_mode)) ThrowNotARegularFile(path);
  if (static_cast<std::uint64_t>(st.st_size) > kMaxReadFileSize) ThrowFileTooLarge(path);
  std::string data;
  try {
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
      ssize_t n = ::read(f.fd, buf, sizeof buf);
      if (n < 0) Fail(errno, path);
      if (n == 0) break;
      // The file may grow while it is read.
      if (data.size() + static_cast<std::size_t>(n) > kMaxReadFileSize) ThrowFileTooLarge(path);
      data.append(buf, static_cast<std::size_t>(n));
    }
  } catch (const std::bad_alloc&) {
    ThrowOutOfMemory(path);
  }
  return data;
}

void ReplaceFileContents(const std::string& path, const std::string& data) {
  struct stat st{};
  const bool replacing = ::stat(path.c_str(), &st) == 0;
  if (replacing) {
    // A read-only or non-regular target is refused as Windows refuses it,
    // even where this process could replace it.
    if (S_ISDIR(st.st_mode)) Fail(EISDIR, path);
    if ((st.st_mode & 0222) == 0) Fail(EACCES, path);
  }
  // A name already taken, even by a folder or another save's temporary
  // file, is passed over rather than reused.
  std::string tmp;
  Fd f{-1};
  for (int attempt = 0; f.fd < 0; ++attempt) {
    if (attempt == kTemporarySaveAttempts) Fail(EEXIST, path);
    tmp = TemporarySaveName(path, attempt);
    f.fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (f.fd < 0 && errno != EEXIST) Fail(errno, path);
  }
  auto failAndRemove = [&](int err) {
    ::close(f.fd);
    f.fd = -1;
    ::unlink(tmp.c_str());
    Fail(err, path);
  };
  // The replacement keeps the permissions of the file it replaces.
  if (replacing && ::fchmod(f.fd, st.st_mode & 07777) != 0) failAndRemove(errno);
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(f.fd, data.data() + done, data.size() - done);
    if (n < 0) failAndRemove(errno);
    done += static_cast<std::size_t>(n);
  }
  const int closed = ::close(f.fd);
  f.fd = -1;
  if (closed != 0 || ::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    Fail(err, path);
  }
}

}  // namespace qel
