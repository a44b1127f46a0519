// Where the trash is and what it records.
#include "editor/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "support/scripted_host.h"

namespace parvane {
namespace {

std::string Mode(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "missing";
  char text[8];
  std::snprintf(text, sizeof text, "%o", st.st_mode & 07777);
  return text;
}

class TrashTest : public ::testing::Test {
 protected:
  std::filesystem::path Trash() { return dir / "data" / "Trash"; }
  TempDir dir;
  ScopedEnv data_home{"XDG_DATA_HOME", (dir / "data").string()};
  std::string error;
};

TEST_F(TrashTest, TheHomeTrashIsMadePrivateAndRecordsWhereEachFileCameFrom) {
  auto a = WriteBytes(dir / "work" / "a b%.txt", "first");
  ASSERT_TRUE(MoveFileToTrash(a, &error)) << error;
  WriteBytes(a, "second");
  ASSERT_TRUE(MoveFileToTrash(a, &error)) << error;
  EXPECT_FALSE(std::filesystem::exists(a));
  for (const char* folder : {"", "files", "info"}) EXPECT_EQ(Mode(Trash() / folder), "700");
  EXPECT_EQ(ReadBytes(Trash() / "files" / "a b%.txt"), "first");
  EXPECT_EQ(ReadBytes(Trash() / "files" / "a b%.txt.2"), "second");
  const std::string info = ReadBytes(Trash() / "info" / "a b%.txt.2.trashinfo");
  const std::string path = "Path=" + (dir / "work").string() + "/a%20b%25.txt\n";
  EXPECT_EQ(info.rfind("[Trash Info]\n" + path + "DeletionDate=", 0), 0u) << info;
  EXPECT_EQ(info.size(), ("[Trash Info]\n" + path + "DeletionDate=2026-01-01T00:00:00\n").size());
}

TEST_F(TrashTest, AFileWithoutItsRecordIsNeverReplaced) {
  WriteBytes(Trash() / "files" / "a.txt", "orphan");
  ASSERT_TRUE(MoveFileToTrash(WriteBytes(dir / "a.txt", "mine"), &error)) << error;
  EXPECT_EQ(ReadBytes(Trash() / "files" / "a.txt"), "orphan");
  EXPECT_EQ(ReadBytes(Trash() / "files" / "a.txt.2"), "mine");
  EXPECT_FALSE(std::filesystem::exists(Trash() / "info" / "a.txt.trashinfo"));
}

TEST_F(TrashTest, ACopyLeavesTheSourceAndRecordsTheBackupName) {
  auto a = WriteBytes(dir / "a.txt", "text");
  ASSERT_TRUE(CopyFileToTrash(a, dir / "a.bak", &error)) << error;
  EXPECT_EQ(ReadBytes(a), "text");
  EXPECT_FALSE(std::filesystem::exists(dir / "a.bak"));
  EXPECT_EQ(ReadBytes(Trash() / "files" / "a.bak"), "text");
  EXPECT_NE(ReadBytes(Trash() / "info" / "a.bak.trashinfo").find("Path=" + (dir / "a.bak").string()),
            std::string::npos);
}

TEST_F(TrashTest, NoUsableTrashTouchesNeitherTheFileNorTheWorkingFolder) {
  auto a = WriteBytes(dir / "a.txt", "text");
  WriteBytes(dir / "blocker", "a file where the data folder would be");
  ScopedEnv blocked{"XDG_DATA_HOME", (dir / "blocker" / "data").string()};
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  EXPECT_FALSE(MoveFileToTrash(a, &error));
  EXPECT_FALSE(CopyFileToTrash(a, dir / "a.bak", &error));
  std::filesystem::current_path(cwd);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadBytes(a), "text");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "blocker"}));
}

TEST_F(TrashTest, AFileOnAnotherDeviceGoesToTheTrashAtTheTopOfItsMount) {
  // /dev/shm is a mount of its own on Linux; the test's trash is not on it.
  const std::filesystem::path shm = "/dev/shm";
  struct stat shm_st {}, tmp_st {};
  if (::stat(shm.c_str(), &shm_st) != 0 || ::stat(dir.path().c_str(), &tmp_st) != 0 ||
      shm_st.st_dev == tmp_st.st_dev || ::access(shm.c_str(), W_OK) != 0) {
    GTEST_SKIP() << "no writable second file system at /dev/shm";
  }
  const std::filesystem::path trash = shm / (".Trash-" + std::to_string(::getuid()));
  const bool existed = std::filesystem::exists(trash);
  const std::filesystem::path sub = shm / ("parvane-trash-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(sub);
  auto a = WriteBytes(sub / "a.txt", "text");
  ASSERT_TRUE(MoveFileToTrash(a, &error)) << error;
  EXPECT_FALSE(std::filesystem::exists(a));
  EXPECT_EQ(Mode(trash), "700");
  EXPECT_FALSE(std::filesystem::exists(Trash()));
  // The record's path is relative to the top of the mount.
  bool found = false;
  for (const auto& e : std::filesystem::directory_iterator(trash / "info")) {
    std::string info = ReadBytes(e.path());
    if (info.find("Path=" + sub.filename().string() + "/a.txt\n") == std::string::npos) continue;
    found = true;
    std::string stem = e.path().filename().string();
    stem.resize(stem.size() - std::string(".trashinfo").size());
    EXPECT_EQ(ReadBytes(trash / "files" / stem), "text");
    std::filesystem::remove(trash / "files" / stem);
    std::filesystem::remove(e.path());
  }
  EXPECT_TRUE(found);
  std::filesystem::remove_all(sub);
  if (!existed) std::filesystem::remove_all(trash);
}

}  // namespace
}  // namespace parvane
