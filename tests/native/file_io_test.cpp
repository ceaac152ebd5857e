#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "base/file_io.h"
#include "list/StrGrdIO.h"
#include "tests/support/temp_dir.h"

namespace qel {
namespace {

using testing::TempDir;

// Files no list or table can be: each must give a FileError (which every
// caller already reports as a file that cannot be opened) and leave the
// grid alone, never a hang or an exhausted memory.
TEST(ReadWholeFile, RefusesWhatIsNotAListOrTable) {
  TempDir dir;
  const std::string huge = dir.File("huge.dat");
  {
    // Sparse: takes no disk space, but reports 256 MiB and one byte.
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxReadFileSize + 1)), 0);
    ::close(fd);
  }
  struct Case {
    std::string path;
    std::string text;
  } cases[] = {
      {huge, "ファイルが大きすぎます (256 MB まで) (" + huge + ")"},
      {"/dev/null", "ファイルではありません (/dev/null)"},
  };
  for (const Case& c : cases) {
    try {
      ReadWholeFile(c.path);
      ADD_FAILURE() << c.path << " was read";
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()), c.text);
    }
    Grid g(1, 1);
    g.SetCell(0, 0, "kept");
    TStringGridIO io;
    io.TargetGrid = &g;
    EXPECT_THROW(io.LoadFromText(c.path, ",", true), FileError) << c.path;
    EXPECT_EQ(g.Cell(0, 0), "kept");
  }
}

}  // namespace
}  // namespace qel
