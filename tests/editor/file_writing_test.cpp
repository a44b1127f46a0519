// Saves keep what a file is; temporary files are whole or absent and the
// abandoned ones are swept.
#include "editor/file_writing.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>

#include "support/scripted_host.h"

namespace parvane {
namespace {

class FileWritingTest : public ::testing::Test {
 protected:
  struct stat Stat(const std::filesystem::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  TempDir dir;
  std::string error;
};

TEST_F(FileWritingTest, SymbolicLinksAreFollowedAndStay) {
  std::filesystem::create_directory(dir / "real");
  WriteBytes(dir / "real" / "a.txt", "old");
  std::filesystem::create_symlink("real/a.txt", dir / "rel");      // relative
  std::filesystem::create_symlink(dir / "rel", dir / "chain");    // link to a link
  std::filesystem::create_symlink("real/new.txt", dir / "dangling");

  ASSERT_TRUE(WriteFileAtomically(dir / "chain", "new", &error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "chain"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "rel"));
  EXPECT_EQ(ReadBytes(dir / "real" / "a.txt"), "new");

  ASSERT_TRUE(WriteFileAtomically(dir / "dangling", "made", &error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "dangling"));
  EXPECT_EQ(ReadBytes(dir / "real" / "new.txt"), "made");
  EXPECT_EQ(ResolveSaveTarget(dir / "chain"), dir / "real/a.txt");
}

TEST_F(FileWritingTest, HardLinkedFilesAreRewrittenInPlace) {
  auto a = WriteBytes(dir / "a.txt", "a long old text");
  std::filesystem::create_hard_link(a, dir / "b.txt");
  const ino_t inode = Stat(a).st_ino;
  ASSERT_TRUE(WriteFileAtomically(a, "short", &error)) << error;
  EXPECT_EQ(ReadBytes(dir / "b.txt"), "short");
  EXPECT_EQ(Stat(a).st_ino, inode);
  EXPECT_EQ(Stat(a).st_nlink, 2u);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(FileWritingTest, OwnerGroupModeAndExtendedAttributesAreKept) {
  auto path = WriteBytes(dir / "a.txt", "old");
  ASSERT_EQ(::chmod(path.c_str(), 02640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 12345, 23456), 0);
  }
  const bool xattrs = ::setxattr(path.c_str(), "user.origin", "here", 4, 0) == 0;

  ASSERT_TRUE(WriteFileAtomically(path, "new", &error)) << error;
  struct stat st = Stat(path);
  EXPECT_EQ(st.st_mode & 07777, 02640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 12345u);
    EXPECT_EQ(st.st_gid, 23456u);
  }
  if (xattrs) {
    char value[16] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.origin", value, sizeof value), 4);
    EXPECT_STREQ(value, "here");
  }
  EXPECT_EQ(ReadBytes(path), "new");
}

TEST_F(FileWritingTest, AFailedWriteLeavesTheFileAndNoTemporaryFile) {
  auto path = WriteBytes(dir / "a.txt", "old");
  std::filesystem::create_hard_link(path, dir / "b.txt");
  auto failing = [](const ByteSink& sink) { return sink("half") && false; };
  for (const auto& target : {path, dir / "new.txt"}) {
    EXPECT_FALSE(SaveFileKeepingIdentity(target, failing, &error));
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
  std::filesystem::create_directory(dir / "d");
  EXPECT_FALSE(WriteFileAtomically(dir / "d", "x", &error));
  EXPECT_EQ(error, "Is a directory");
}

TEST_F(FileWritingTest, CopiesAreWholeAndReplaceOnlyWhenAsked) {
  auto source = WriteBytes(dir / "a.txt", "text");
  auto target = WriteBytes(dir / "a.bak", "earlier");
  EXPECT_FALSE(CopyFileAtomically(source, target, false, &error));
  EXPECT_EQ(error, "File exists");
  EXPECT_EQ(ReadBytes(target), "earlier");
  EXPECT_TRUE(CopyFileAtomically(source, target, true, &error));
  EXPECT_EQ(ReadBytes(target), "text");
  EXPECT_FALSE(CopyFileAtomically(dir / "missing", dir / "m.bak", true, &error));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.bak", "a.txt"}));
}

TEST_F(FileWritingTest, TemporaryNamesCarryTheWriter) {
  const std::string own = TemporaryFileName(dir / "a.txt").filename().string();
  EXPECT_EQ(own, ".a.txt.parvane-" + std::to_string(::getpid()) + ".XXXXXX");
  EXPECT_EQ(TemporaryFileWriter(".a.txt.parvane-42.Ab3dE9"), 42);
  EXPECT_EQ(TemporaryFileWriter("..parvane-7.parvane-42.Ab3dE9"), 42);
  for (const char* name : {"a.txt", ".a.txt.XXXXXX", ".a.parvane-.Ab3dE9", ".a.parvane-x1.Ab3dE9",
                           ".a.parvane-42Ab3dE9", ".parvane-42.Ab3dE9", "a.parvane-42.Ab3dE9"}) {
    EXPECT_EQ(TemporaryFileWriter(name), std::nullopt) << name;
  }
  // Long names are cut so that the temporary name stays a valid name.
  EXPECT_LE(TemporaryFileName(dir / std::string(255, 'n')).filename().string().size(), 255u);
}

TEST_F(FileWritingTest, OnlyTemporaryFilesOfGoneWritersAreSwept) {
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = ".a.txt.parvane-" + std::to_string(gone) + ".abcdef";
  const std::string live = ".b.txt.parvane-" + std::to_string(::getpid()) + ".abcdef";
  const std::string locked = ".c.txt.parvane-" + std::to_string(gone) + ".abcdef";
  for (const auto& name : {dead, live, locked, std::string(".d.txt.XXXXXX"), std::string("e")}) {
    WriteBytes(dir / name, "x");
  }
  // A lock outlives a process id given to another process.
  int fd = ::open((dir / locked).c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  // Only the lock held by another open file counts; ours is on fd.
  EXPECT_EQ(RemoveAbandonedTemporaryFiles(dir.path()), 1);
  ::close(fd);
  EXPECT_EQ(Names(), (std::vector<std::string>{live, locked, ".d.txt.XXXXXX", "e"}));
}

}  // namespace
}  // namespace parvane
