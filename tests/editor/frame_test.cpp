// The document and the command frame: what a command sees and what it leaves.
#include <gtest/gtest.h>

#include <functional>
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

// A stand-in command that records its step and changes nothing, run as the
// dispatcher runs a table command.
void RecordedNothing(Editor& editor) {
  static const StepSpec kStep{Sjis("[空行を削除]"), {}};
  RunningStep running(editor, kStep, nullptr);
  editor.RecordStep();
  CommandFrame frame(editor, "busy");
}

// A stand-in command without a step: its lines become lines.
void SaveUndoAndSet(Editor& editor, Lines lines) {
  CommandFrame frame(editor, Sjis("並べ替えています…"));
  editor.work_lines = std::move(lines);
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

TEST_F(FrameTest, UndoAndRedoWalkTheHistoryOneCommandAtATime) {
  Load({"a", "b"});
  Shout(editor);
  editor.doc.Select(0, true);
  editor.doc.Select(1, true);
  RecordedNothing(editor);  // changes nothing, but is a step of its own
  editor.doc.SetLine(0, "x");
  SaveUndoAndSet(editor, {"y"});
  EXPECT_EQ(editor.UndoDepth(), 3u);
  editor.Undo();
  EXPECT_EQ(editor.doc.lines(), (Lines{"x", "B"}));
  editor.Undo();
  editor.Undo();
  EXPECT_EQ(editor.doc.lines(), (Lines{"a", "b"}));
  EXPECT_FALSE(editor.CanUndo());
  editor.Undo();  // nothing left: no change
  EXPECT_EQ(editor.doc.lines(), (Lines{"a", "b"}));
  editor.Redo();
  EXPECT_EQ(editor.doc.lines(), (Lines{"A", "B"}));
  editor.Redo();
  editor.Redo();
  EXPECT_EQ(editor.doc.lines(), (Lines{"y"}));
  EXPECT_FALSE(editor.CanRedo());
  // A new command forgets what could have been redone.
  editor.Undo();
  Shout(editor);
  EXPECT_FALSE(editor.CanRedo());
  EXPECT_EQ(editor.doc.lines(), (Lines{"X", "B"}));
}

TEST_F(FrameTest, UndoNamesTheRecordedStepOrTheBusyMessage) {
  Load({"b", "a"});
  RecordedNothing(editor);
  EXPECT_EQ(SjisToUtf8(editor.UndoName()), "空行を削除");
  SaveUndoAndSet(editor, {"z"});
  EXPECT_EQ(SjisToUtf8(editor.UndoName()), "並べ替え");
  editor.Undo();
  EXPECT_EQ(SjisToUtf8(editor.RedoName()), "並べ替え");
}

TEST_F(FrameTest, TheHistoryStaysWithinItsMemoryBudgetButKeepsTheNewestStep) {
  editor.options.undo_memory_mb = 1;
  Lines big(20000, std::string(100, 'a'));  // 2 MB, in blocks of its own
  Load(big);
  for (int i = 0; i < 4; ++i) {
    SaveUndoAndSet(editor, Lines(20000, std::string(100, static_cast<char>('b' + i))));
  }
  EXPECT_EQ(editor.UndoDepth(), 1u);
  editor.Undo();
  EXPECT_EQ(editor.doc.line(0), std::string(100, 'd'));
  editor.options.undo_memory_mb = 1024;
  for (int i = 0; i < 4; ++i) SaveUndoAndSet(editor, Lines(20000, "x"));
  EXPECT_EQ(editor.UndoDepth(), 4u);
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
            "PARVANE-RECOVERY 1\nFile=/data/memo.txt\nCode=ShiftJIS\nBreak=CR+LF\nFinalBreak=1\n\nA\r\n");

  editor.recovery_copy_path = dir / "missing-dir" / "backup.tmp";
  editor.settings_path.clear();
  Shout(editor);
  Shout(editor);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.commands_ended, 3);
}

}  // namespace
}  // namespace parvane

namespace parvane {
namespace {

// A stand-in replacement: every "," becomes the given text.
void ReplaceCommas(Editor& editor, const std::string& with) {
  CommandFrame frame(editor, "busy");
  for (auto& line : editor.work_lines) {
    std::string out;
    for (char c : line) out += c == ',' ? with : std::string(1, c);
    line = out;
  }
}

class StoreSplitTest : public FrameTest {};

// A row never holds a line break: whatever a command puts into a line, the
// store splits it as loading would, in the whole document and in a selection.
TEST_F(StoreSplitTest, ResultLinesHoldingBreaksBecomeRows) {
  struct Case {
    Lines doc;
    std::vector<std::size_t> selected;  // rows the person selected (none: whole)
    std::string with;
    Lines expected;
    std::vector<std::size_t> selected_after;
  };
  const Case cases[] = {
      {{"a,b,c"}, {}, "\n", {"a", "b", "c"}, {}},
      {{"a,b", "c"}, {}, "\r\n", {"a", "b", "c"}, {}},
      {{"a,b", "c"}, {}, "\r", {"a", "b", "c"}, {}},
      {{"a,,b"}, {}, "\n", {"a", "", "b"}, {}},
      {{std::string("a\0,b", 4)}, {}, "\n", {std::string("a\0", 2), "b"}, {}},
      // A break at the end of a line adds no row, as at the end of a file;
      // a line that is only a break stays one empty row.
      {{"a,", ","}, {}, "\n", {"a", ""}, {}},
      {{"x", "a,b", "y", "c,d"}, {1, 3}, "\n", {"x", "a", "b", "c", "d", "y"}, {1, 2, 3, 4}},
      {{"x", "a,b", "y"}, {0, 1}, "\n\r", {"x", "a", "", "b", "y"}, {0, 1, 2, 3}},
      {{"a,b", "c", "d"}, {0, 1}, "-", {"a-b", "c", "d"}, {0, 1}},
  };
  for (const Case& c : cases) {
    Load(c.doc);
    for (std::size_t row : c.selected) editor.doc.Select(row, true);
    ReplaceCommas(editor, c.with);
    EXPECT_EQ(editor.doc.lines(), c.expected) << c.doc[0] << " with " << c.with.size();
    EXPECT_EQ(editor.doc.SelectedRows(), c.selected_after);
  }
}

// Rows a find or a command left selected are what the next command works on,
// even one row or none; the person's own single row still means everything.
TEST_F(FrameTest, AResultSelectionIsRealEvenForOneRowOrNone) {
  for (auto style : {SelectionStyle::kExtended, SelectionStyle::kStandard}) {
    editor.selection_style = style;
    Load({"a", "b", "c"});
    editor.doc.Select(1, true);
    editor.doc.set_selection_is_result(true);
    Shout(editor);
    EXPECT_EQ(editor.doc.lines(), (Lines{"a", "B", "c"}));
    // The stored row stays selected as a result.
    EXPECT_TRUE(editor.doc.selection_is_result());
    EXPECT_EQ(editor.doc.SelectedRows(), (std::vector<std::size_t>{1}));

    Load({"a", "b"});
    editor.doc.set_selection_is_result(true);
    Shout(editor);
    EXPECT_EQ(editor.doc.lines(), (Lines{"a", "b"}));
    EXPECT_TRUE(editor.doc.selection_is_result());

    // The person selecting again ends it.
    editor.doc.Select(0, true);
    EXPECT_FALSE(editor.doc.selection_is_result());
  }
  editor.selection_style = SelectionStyle::kExtended;
  Load({"a", "b"});
  editor.doc.Select(0, true);
  Shout(editor);
  EXPECT_EQ(editor.doc.lines(), (Lines{"A", "B"}));
  // A whole-document store leaves no selection and no result.
  EXPECT_FALSE(editor.doc.selection_is_result());
}

TEST(DocumentTest, EverySelectionChangeEndsAResultSelection) {
  const std::function<void(Document&)> changes[] = {
      [](Document& d) { d.Select(0, false); },  [](Document& d) { d.SelectAll(); },
      [](Document& d) { d.ClearSelection(); },  [](Document& d) { d.InvertSelection(); },
      [](Document& d) { d.EraseRow(0); },       [](Document& d) { d.EraseSelected(); },
      [](Document& d) { d.SetLines({"z"}); },
  };
  for (const auto& change : changes) {
    Document doc;
    doc.SetLines({"a", "b"});
    doc.set_selection_is_result(true);
    change(doc);
    EXPECT_FALSE(doc.selection_is_result());
  }
}

}  // namespace
}  // namespace parvane
