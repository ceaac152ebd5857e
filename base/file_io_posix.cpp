// File access of the native (Linux) build, used by the unit tests and the
// benchmarks. The Windows build has its own, over the wide Win32 file API.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_io.h"

namespace qel {

namespace {
[[noreturn]] void Fail(int err, const std::string& path) {
  throw FileError(std::string(std::strerror(err)) + ": " + path);
}
}  // namespace

std::string ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) Fail(errno, path);
  struct stat st{};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    Fail(err, path);
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      int err = errno;
      ::close(fd);
      Fail(err, path);
    }
    if (n == 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return data;
}

void ReplaceFileContents(const std::string& path, const std::string& data) {
  struct stat st{};
  if (::stat(path.c_str(), &st) == 0) {
    // A read-only or non-regular target is refused as Windows refuses it,
    // even where this process could replace it.
    if (S_ISDIR(st.st_mode)) Fail(EISDIR, path);
    if ((st.st_mode & 0222) == 0) Fail(EACCES, path);
  }
  std::string tmp = path + ".qel-tmp";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) Fail(errno, path);
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      int err = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      Fail(err, path);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 || ::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    Fail(err, path);
  }
}

}  // namespace qel
