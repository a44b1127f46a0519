// Recovery copies: private, one per instance, offered only when their
// instance is gone.
#include "editor/recovery_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

unsigned Mode(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class RecoveryCopyTest : public ::testing::Test {
 protected:
  std::filesystem::path Folder() { return dir / "state" / "parvane"; }
  TempDir dir;
  ScriptedHost host;
  std::string error;
};

TEST_F(RecoveryCopyTest, TheCopyRestoresTextNameAndCodeAndIsPrivate) {
  auto slot = RecoverySlot::Claim(Folder(), &error);
  ASSERT_NE(slot, nullptr) << error;
  EXPECT_EQ(Mode(Folder()), 0700u);
  Editor editor(host);
  editor.doc.SetLines(SjisLines({"一", "", "三"}));
  editor.current_file_name = "/data/メモ.txt";
  editor.save_code = SaveCode::kUtf16Be;
  editor.line_ending = {LineBreak::kLf, false};
  ASSERT_TRUE(WriteRecoveryFile(editor, slot->copy_path(), &error)) << error;
  EXPECT_EQ(Mode(slot->copy_path()), 0600u);
  EXPECT_EQ(ReadBytes(slot->copy_path()),
            "PARVANE-RECOVERY 1\nFile=/data/メモ.txt\nCode=UTF-16BE\nBreak=LF\nFinalBreak=0\n\n" + Sjis("一\r\n\r\n三\r\n"));

  Editor restored(host);
  ASSERT_TRUE(ReadRecoveryFile(slot->copy_path(), restored, &error)) << error;
  EXPECT_EQ(restored.doc.lines(), editor.doc.lines());
  EXPECT_EQ(restored.current_file_name, editor.current_file_name);
  EXPECT_EQ(restored.save_code, SaveCode::kUtf16Be);
  EXPECT_EQ(restored.line_ending.kind, LineBreak::kLf);
  EXPECT_FALSE(restored.line_ending.final_break);
  EXPECT_TRUE(restored.modified);
}

TEST_F(RecoveryCopyTest, UnknownKeysAreSkippedAndOtherFilesRefused) {
  struct Case {
    std::string bytes;
    bool ok;
    Lines lines;
  };
  const Case cases[] = {
      {"PARVANE-RECOVERY 1\nFuture=x\nCode=nonsense\n\na\r\nb\r\n", true, {"a", "b"}},
      {"PARVANE-RECOVERY 1\n\n", true, {}},
      {"PARVANE-RECOVERY 1\nFile=/x", false, {"kept"}},
      {"a\r\nb\r\n", false, {"kept"}},
  };
  for (const Case& c : cases) {
    Editor editor(host);
    editor.doc.SetLines({"kept"});
    auto path = WriteBytes(dir / "copy", c.bytes);
    EXPECT_EQ(ReadRecoveryFile(path, editor, &error), c.ok) << c.bytes;
    EXPECT_EQ(editor.doc.lines(), c.lines) << c.bytes;
    EXPECT_EQ(editor.save_code, SaveCode::kShiftJis);
  }
}

TEST_F(RecoveryCopyTest, OnlyCopiesOfInstancesThatAreGoneAreOfferedAndOnlyToOneTaker) {
  auto running = RecoverySlot::Claim(Folder(), &error);
  ASSERT_NE(running, nullptr) << error;
  WriteBytes(running->copy_path(), "PARVANE-RECOVERY 1\n\nlive\r\n");

  // Another process claims a slot, writes its copy and dies without a word.
  pid_t child = ::fork();
  if (child == 0) {
    std::string e;
    auto slot = RecoverySlot::Claim(Folder(), &e);
    WriteBytes(slot->copy_path(), "PARVANE-RECOVERY 1\n\ncrashed\r\n");
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_EQ(status, 0);

  std::vector<std::filesystem::path> abandoned = AbandonedRecoveryCopies(Folder());
  ASSERT_EQ(abandoned.size(), 1u);
  EXPECT_EQ(ReadBytes(abandoned[0]), "PARVANE-RECOVERY 1\n\ncrashed\r\n");

  auto first = RecoverySlot::Claim(Folder(), &error);
  auto second = RecoverySlot::Claim(Folder(), &error);
  ASSERT_TRUE(first->Adopt(abandoned[0]));
  EXPECT_FALSE(second->Adopt(abandoned[0]));
  EXPECT_TRUE(AbandonedRecoveryCopies(Folder()).empty());

  // An instance that ends removes its own copy and the one it took over,
  // never the running one's.
  const std::filesystem::path live = running->copy_path();
  first.reset();
  second.reset();
  EXPECT_FALSE(std::filesystem::exists(abandoned[0]));
  EXPECT_EQ(ReadBytes(live), "PARVANE-RECOVERY 1\n\nlive\r\n");
  running.reset();
  EXPECT_TRUE(std::filesystem::is_empty(Folder()));
}

TEST_F(RecoveryCopyTest, TheFolderFollowsTheStateHome) {
  {
    ScopedEnv state("XDG_STATE_HOME", "/s");
    EXPECT_EQ(DefaultRecoveryFolder(), "/s/parvane");
  }
  ScopedEnv state("XDG_STATE_HOME", std::nullopt);
  ScopedEnv home("HOME", "/h");
  EXPECT_EQ(DefaultRecoveryFolder(), "/h/.local/state/parvane");
  ScopedEnv relative("XDG_STATE_HOME", "relative");
  EXPECT_EQ(DefaultRecoveryFolder(), "/h/.local/state/parvane");
}

}  // namespace
}  // namespace parvane

namespace parvane {
namespace {

// Characters outside code page 932 come back from the copy as themselves,
// under private codes of the restored document.
TEST(RecoveryCopyCharactersTest, CharactersOutsideCodePage932ComeBack) {
  TempDir dir;
  ScriptedHost host;
  std::string error;
  Editor editor(host);
  editor.doc.SetLines({editor.private_codes.FromUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"), "x"});
  ASSERT_TRUE(WriteRecoveryFile(editor, dir / "1-1.copy", &error)) << error;
  Editor restored(host);
  ASSERT_TRUE(ReadRecoveryFile(dir / "1-1.copy", restored, &error)) << error;
  ASSERT_EQ(restored.doc.size(), 2u);
  EXPECT_EQ(restored.private_codes.ToUtf8(restored.doc.line(0)), "caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(restored.doc.line(1), "x");
}

}  // namespace
}  // namespace parvane
