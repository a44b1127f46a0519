// The document and the command frame: what a command sees and what it leaves.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "editor/editor.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

// A stand-in command: upper-cases every working line (ASCII only).
void Shout(Editor& editor) {
  CommandFrame frame(editor, "busy");
  for (auto& line : editor.work_lines) {
    for (auto& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
}

class FrameTest : public ::testing::Test {
 protected:
  void Load(std::vector<std::string> lines) { editor.doc.SetLines(std::move(lines)); }
  ScriptedHost host;
  Editor editor{host};
};

TEST(LinesTest, SplitsAtEveryKindOfBreakAndKeepsNul) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(SplitLines("\r\n"), (Lines{""}));
  EXPECT_EQ(SplitLines(""), (Lines{}));
  EXPECT_EQ(SplitLines(std::string("a\0b\nc", 5)), (Lines{std::string("a\0b", 3), "c"}));
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST_F(FrameTest, NoSelectionWorksOnTheWholeDocumentInBothStyles) {
  for (auto style : {SelectionStyle::kExtended, SelectionStyle::kStandard}) {
    Load({"a", "b"});
    editor.selection_style = style;
    Shout(editor);
    EXPECT_EQ(editor.doc.lines(), (Lines{"A", "B"}));
  }
}

TEST_F(FrameTest, OneSelectedRowIsTheWholeDocumentOnlyInTheExtendedStyle) {
  Load({"a", "b", "c"});
  editor.doc.Select(1, true);
  Shout(editor);
  EXPECT_EQ(editor.doc.lines(), (Lines{"A", "B", "C"}));

  Load({"a", "b", "c"});
  editor.selection_style = SelectionStyle::kStandard;
  editor.doc.Select(1, true);
  Shout(editor);
  EXPECT_EQ(editor.doc.lines(), (Lines{"a", "B", "c"}));
}

TEST_F(FrameTest, SelectionWithGapsLandsAsOneSelectedBlockAtTheFirstRow) {
  Load({"a", "b", "c", "d"});
  editor.doc.Select(0, true);
  editor.doc.Select(2, true);
  Shout(editor);
  EXPECT_EQ(editor.doc.lines(), (Lines{"A", "C", "b", "d"}));
  EXPECT_EQ(editor.doc.SelectedRows(), (std::vector<std::size_t>{0, 1}));
}

TEST_F(FrameTest, AResultMayHaveMoreOrFewerLinesThanTheSelection) {
  Load({"a", "b", "c", "d"});
  editor.doc.Select(1, true);
  editor.doc.Select(3, true);
  {
    CommandFrame frame(editor, "");
    editor.work_lines = {"x", "y", "z"};
  }
  EXPECT_EQ(editor.doc.lines(), (Lines{"a", "x", "y", "z", "c"}));
}

TEST_F(FrameTest, AllRowsSelectedIsTheWholeDocument) {
  Load({"a", "b"});
  editor.doc.SelectAll();
  editor.selection_style = SelectionStyle::kStandard;
  CommandFrame frame(editor, "");
  EXPECT_TRUE(editor.whole_document);
}

TEST_F(FrameTest, LineOfExactlyTheLimitIsAcceptedOneMoreIsRefused) {
  Load({"a"});
  {
    CommandFrame frame(editor, "");
    editor.work_lines = {std::string(kMaxLineLength, 'x')};
  }
  EXPECT_EQ(editor.doc.line(0).size(), kMaxLineLength);
  EXPECT_TRUE(host.messages.empty());

  Load({"a"});
  {
    CommandFrame frame(editor, "");
    editor.work_lines = {std::string(kMaxLineLength + 1, 'x')};
  }
  EXPECT_EQ(editor.doc.lines(), (Lines{"a"}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "行が長くなりすぎてしまいます。\r\n処理を中止しました。");
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kError);
  EXPECT_TRUE(editor.modified) << "the refused command already took its undo snapshot";
}

TEST_F(FrameTest, PlaybackSilencesTheRefusalAndTakesNoSnapshot) {
  Load({"a"});
  editor.step_params = {"001", "@all"};
  {
    CommandFrame frame(editor, "");
    editor.work_lines = {std::string(kMaxLineLength + 1, 'x')};
  }
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(editor.modified);
  EXPECT_EQ(editor.doc.lines(), (Lines{"a"}));
}

TEST_F(FrameTest, ARefusedResultIsNotRefusedAgainOnAnEmptyDocument) {
  Load({"a"});
  {
    CommandFrame frame(editor, "");
    editor.work_lines = {std::string(kMaxLineLength + 1, 'x')};
  }
  ASSERT_EQ(host.messages.size(), 1u);
  Load({});
  Shout(editor);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(editor.doc.empty());
}

TEST_F(FrameTest, ClosingStepsRunWhenTheWorkThrows) {
  Load({"a"});
  EXPECT_THROW(
      {
        CommandFrame frame(editor, "");
        editor.work_lines[0] = "partial";
        throw std::runtime_error("need right parenthesis");
      },
      std::runtime_error);
  EXPECT_EQ(host.commands_started, 1);
  EXPECT_EQ(host.commands_ended, 1);
  EXPECT_EQ(editor.doc.lines(), (Lines{"partial"})) << "whatever the work left is stored";
}

// operator new calls the installed new-handler when the allocator has no
// memory left; calling it directly stands in for a real exhaustion, which a
// sanitizer's allocator would turn into an abort.
[[noreturn]] void RunOutOfMemory() {
  std::new_handler handler = std::get_new_handler();
  if (handler == nullptr) throw std::logic_error("the frame installed no new-handler");
  handler();
  throw std::logic_error("a new-handler that returns");
}

TEST_F(FrameTest, WorkThatRunsOutOfMemoryLeavesTheDocumentAsItWas) {
  Load({"a", "b"});
  EXPECT_THROW(
      {
        CommandFrame frame(editor, "");
        editor.work_lines[0] = "partial";
        RunOutOfMemory();
      },
      std::bad_alloc);
  EXPECT_EQ(editor.doc.lines(), (Lines{"a", "b"}));
  EXPECT_TRUE(editor.work_lines.empty()) << "the work's memory is given back";
  EXPECT_EQ(host.commands_ended, 1);
  EXPECT_TRUE(host.messages.empty()) << "the caller reports it";

  // The next command starts afresh and stores as usual, also when its work
  // ends by another exception.
  EXPECT_THROW(
      {
        CommandFrame frame(editor, "");
        editor.work_lines[0] = "next";
        throw std::runtime_error("need right parenthesis");
      },
      std::runtime_error);
  EXPECT_EQ(editor.doc.lines(), (Lines{"next", "b"}));
}

TEST_F(FrameTest, EmptyDocumentStaysEmpty) {
  {
    CommandFrame frame(editor, "");
    EXPECT_TRUE(editor.work_lines.empty());
  }
  EXPECT_TRUE(editor.doc.empty());
  EXPECT_EQ(SjisToUtf8(editor.Title()), "無題 * - ( 0 行) - Parvane");
}

TEST_F(FrameTest, UndoIsASwapSoTwiceRedoes) {
  Load({"a", "b"});
  editor.undo_text = editor.doc.Text();
  Shout(editor);
  editor.Undo();
  EXPECT_EQ(editor.doc.lines(), (Lines{"a", "b"}));
  editor.Undo();
  EXPECT_EQ(editor.doc.lines(), (Lines{"A", "B"}));
}

TEST_F(FrameTest, TitleShowsNameMarkAndLineCount) {
  editor.current_file_name = "/tmp/dir/memo.txt";
  editor.doc.SetLines(Lines(12, "x"));
  EXPECT_EQ(SjisToUtf8(editor.Title()), "memo.txt - ( 12 行) - Parvane");
  editor.modified = true;
  EXPECT_EQ(SjisToUtf8(editor.Title()), "memo.txt * - ( 12 行) - Parvane");
  editor.options.full_path = true;
  EXPECT_EQ(SjisToUtf8(editor.Title()), "memo.txt * - ( 12 行) - Parvane")
      << "before the window shows, the title never has the full path";
  editor.window_shown = true;
  EXPECT_EQ(SjisToUtf8(editor.Title()), "/tmp/dir/memo.txt * - ( 12 行) - Parvane");
}

TEST_F(FrameTest, ProgressReachesTheHostOnlyWhenThePercentageChanges) {
  struct CountingHost : ScriptedHost {
    int calls = 0;
    void Progress(int) override { ++calls; }
  } counting;
  Editor e(counting);
  for (std::size_t i = 0; i < 100000; ++i) e.Progress(i, 100000);
  e.EndProgress();
  EXPECT_EQ(counting.calls, 101);
}

TEST_F(FrameTest, RecoveryCopyIsWrittenAfterEachCommandAndAFailureIsReportedOnce) {
  TempDir dir;
  editor.recovery_copy_path = dir / "backup.tmp";
  editor.current_file_name = "/data/memo.txt";
  Load({"a"});
  Shout(editor);
  EXPECT_EQ(ReadBytes(dir / "backup.tmp"),
            "PARVANE-RECOVERY 1\nFile=/data/memo.txt\nCode=ShiftJIS\n\nA\r\n");

  editor.recovery_copy_path = dir / "missing-dir" / "backup.tmp";
  editor.settings_path.clear();
  Shout(editor);
  Shout(editor);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.commands_ended, 3);
}

}  // namespace
}  // namespace parvane
