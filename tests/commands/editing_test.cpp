#include "commands/editing.h"

#include <gtest/gtest.h>

#include "automation/run_command.h"
#include "commands/line_commands_fixture.h"

namespace parvane {
namespace {

using EditingTest = LineCommandsTest;

TEST_F(EditingTest, EachCommandShowsItsBusyTextRecordsItsNameAndSnapshotsAsListed) {
  struct Case {
    void (*command)(Editor&);
    const char* busy;
    const char* step;
    bool undo_snapshot;
  };
  const Case cases[] = {
      {CutRows, "切り取っています…", "[切り取り]", true},
      {CopyRows, "コピーしています…", "[コピー]", false},
      {PasteRows, "貼り付けています…", "[貼り付け]", true},
      {DeleteRows, "削除しています…", "[削除]", true},
      {InsertPasteRows, "挿入して貼り付けています…", "[挿入貼り付け]", true},
      {SelectAllRows, "すべて選択しています…", "[すべて選択]", false},
      {InvertRowSelection, "選択範囲を切り替えています…", "[選択の切り替え]", true},
  };
  for (const Case& c : cases) {
    Load({"a", "b"}, {0});
    host.clipboard = "c";
    editor.record_buffer.clear();
    editor.modified = false;
    editor.ClearUndo();
    host.busy_messages.clear();
    RunOperation(editor, c.command);
    EXPECT_EQ(host.busy_messages, (Utf8{c.busy})) << c.step;
    EXPECT_EQ(Recorded(), (Utf8{c.step}));
    EXPECT_EQ(editor.modified, c.undo_snapshot) << c.step;
    EXPECT_EQ(editor.CanUndo() ? editor.UndoText() : "none", c.undo_snapshot ? "a\r\nb\r\n" : "none") << c.step;
  }
  EXPECT_EQ(host.commands_started, host.commands_ended);

  // Played back, the same handlers run, and the snapshot is the player's.
  Play({"040"});
  Load({"a", "b"}, {0, 1});
  editor.modified = false;
  RunOperation(editor, DeleteRows);
  EXPECT_TRUE(editor.doc.empty());
  EXPECT_FALSE(editor.modified);
}

TEST_F(EditingTest, JumpBusyTextAndTheNumberForms) {
  Load({"a", "b", "c", "d"});
  host.inputs = {" 3", "-2"};
  JumpToLine(editor);
  EXPECT_EQ(editor.doc.current_row(), 2);
  EXPECT_EQ(host.busy_messages, (Utf8{"ジャンプしています…"}));
  JumpToLine(editor);  // negative: nothing
  EXPECT_EQ(editor.doc.current_row(), 2);
  EXPECT_EQ(host.commands_started, 1);
  EXPECT_FALSE(editor.modified);
}

TEST_F(EditingTest, CopyTakesTheRowsAFindLeftEvenOneOrNone) {
  Load({"a", "b", "c"}, {1});
  editor.doc.set_selection_is_result(true);
  RunOperation(editor, CopyRows);
  EXPECT_EQ(host.clipboard, "b\r\n");
  host.clipboard = "before";
  Load({"a", "b", "c"}, {});
  editor.doc.set_selection_is_result(true);
  RunOperation(editor, CopyRows);
  EXPECT_EQ(host.clipboard, "before");
}

TEST_F(EditingTest, CopyTakesTheWholeDocumentWhenAtMostOneRowIsSelected) {
  Load({"a", "b", "c"}, {1});
  editor.selection_style = SelectionStyle::kStandard;
  RunOperation(editor, CopyRows);
  EXPECT_EQ(host.clipboard, "a\r\nb\r\nc\r\n");
  Load({"a", "b", "c"}, {0, 2});
  RunOperation(editor, CopyRows);
  EXPECT_EQ(host.clipboard, "a\r\nc\r\n");
  EXPECT_EQ(Text(), (Utf8{"a", "b", "c"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 2}));
  EXPECT_FALSE(editor.modified);
  EXPECT_EQ(Recorded(), (Utf8{"[コピー]", "[コピー]"}));
}

TEST_F(EditingTest, CutRemovesTheRowsAndSelectsTheRowAtTheCurrentIndex) {
  Load({"1", "2", "3", "4", "5"}, {1, 3});
  editor.doc.set_current_row(3);
  RunOperation(editor, CutRows);
  EXPECT_EQ(Text(), (Utf8{"1", "3", "5"}));
  EXPECT_EQ(host.clipboard, "2\r\n4\r\n");
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{2}));
  EXPECT_EQ(editor.doc.current_row(), 2);
  EXPECT_TRUE(editor.modified);
  EXPECT_EQ(SjisToUtf8(editor.UndoText()), "1\r\n2\r\n3\r\n4\r\n5\r\n");

  // Cutting everything leaves no current row.
  editor.doc.SelectAll();
  RunOperation(editor, CutRows);
  EXPECT_TRUE(editor.doc.empty());
  EXPECT_EQ(editor.doc.current_row(), -1);
  EXPECT_EQ(Recorded(), (Utf8{"[切り取り]", "[切り取り]"}));
}

TEST_F(EditingTest, CutWithoutASelectionEmptiesTheClipboardAndKeepsTheRows) {
  host.clipboard = "before";
  Load({"1", "2", "3"});
  editor.doc.set_current_row(1);
  RunOperation(editor, CutRows);
  EXPECT_EQ(host.clipboard, "");
  EXPECT_EQ(Text(), (Utf8{"1", "2", "3"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1}));
  EXPECT_EQ(Recorded(), (Utf8{"[切り取り]"}));
}

TEST_F(EditingTest, DeleteLeavesTheClipboardAlone) {
  host.clipboard = "keep";
  Load({"1", "2", "3"}, {2});
  editor.doc.set_current_row(2);
  RunOperation(editor, DeleteRows);
  EXPECT_EQ(Text(), (Utf8{"1", "2"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1}));
  EXPECT_EQ(host.clipboard, "keep");
  EXPECT_EQ(Recorded(), (Utf8{"[削除]"}));
}

TEST_F(EditingTest, NothingRunsOnAnEmptyDocumentOrClipboard) {
  for (auto command : {CutRows, CopyRows, DeleteRows, SelectAllRows, InvertRowSelection}) {
    RunOperation(editor, command);
  }
  Load({"a"});
  RunOperation(editor, PasteRows);
  RunOperation(editor, InsertPasteRows);
  EXPECT_TRUE(Recorded().empty());
  EXPECT_EQ(host.commands_started, 0);
  EXPECT_EQ(Text(), (Utf8{"a"}));
}

TEST_F(EditingTest, PasteConvertsTabsAndMakesTheDocumentUntitled) {
  editor.current_file_name = "memo.txt";
  Load({"old"});
  host.clipboard = "\t1\t\t2\r\np q";
  RunOperation(editor, PasteRows);
  EXPECT_EQ(Text(), (Utf8{",1,,2", "\"p q\""}));
  EXPECT_TRUE(editor.current_file_name.empty());
  EXPECT_TRUE(editor.modified);
  EXPECT_EQ(Recorded(), (Utf8{"[貼り付け]"}));
}

TEST_F(EditingTest, APasteWithALineOverTheLimitChangesNothing) {
  editor.max_line_length = 8;
  for (auto command : {PasteRows, InsertPasteRows}) {
    Load({"old"});
    editor.modified = false;
    editor.ClearUndo();
    host.messages.clear();
    host.clipboard = "short\r\n123456789";  // one byte over
    RunOperation(editor, command);
    EXPECT_EQ(Text(), (Utf8{"old"}));
    EXPECT_FALSE(editor.modified);
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_TRUE(editor.ResultRefused());
    EXPECT_EQ(host.messages.size(), 1u);
    host.clipboard = "short\r\n12345678";  // at the limit
    RunOperation(editor, command);
    EXPECT_TRUE(editor.doc.size() >= 2) << "a line of the limit is pasted";
  }
}

TEST_F(EditingTest, InsertPasteSelectsOnlyTheInsertedRows) {
  Load({"0", "1", "2", "3", "4", "5"}, {0, 5});
  editor.doc.set_current_row(4);
  host.clipboard = "a\r\nb\nc";
  RunOperation(editor, InsertPasteRows);
  EXPECT_EQ(Text(), (Utf8{"0", "1", "2", "3", "a", "b", "c", "4", "5"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{4, 5, 6}));
  EXPECT_EQ(editor.doc.current_row(), 4);
  EXPECT_EQ(Recorded(), (Utf8{"[挿入貼り付け]"}));
}

TEST_F(EditingTest, SelectAllAndInvert) {
  Load({"a", "b", "c"}, {1});
  RunOperation(editor, InvertRowSelection);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 2}));
  EXPECT_TRUE(editor.modified);  // the undo snapshot is taken
  RunOperation(editor, SelectAllRows);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1, 2}));
  EXPECT_EQ(Recorded(), (Utf8{"[選択の切り替え]", "[すべて選択]"}));
}

TEST_F(EditingTest, JumpToLine) {
  Load({"a", "b", "c"});
  host.inputs = {"0", "abc", std::nullopt};
  JumpToLine(editor);
  JumpToLine(editor);
  JumpToLine(editor);
  EXPECT_EQ(host.commands_started, 0);

  host.inputs = {"1"};
  JumpToLine(editor);
  EXPECT_EQ(editor.doc.current_row(), 0);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0}));
  EXPECT_EQ(host.prompts.back(), "ジャンプ先の行番号は？");

  editor.selection_style = SelectionStyle::kStandard;
  JumpToLine(editor, 3);
  EXPECT_EQ(editor.doc.current_row(), 2);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0}));
  JumpToLine(editor, 4);  // beyond the last row: nothing moves
  EXPECT_EQ(editor.doc.current_row(), 2);
  EXPECT_TRUE(Recorded().empty());
}

TEST_F(EditingTest, EditCurrentRowNeverMarksTheDocumentModified) {
  Load({"a", "b"});
  editor.doc.set_current_row(1);
  host.inputs = {"あ", std::nullopt};
  EditCurrentRow(editor);
  EXPECT_EQ(Text(), (Utf8{"a", "あ"}));
  EditCurrentRow(editor);
  EXPECT_EQ(Text(), (Utf8{"a", "あ"}));
  EXPECT_FALSE(editor.modified);
  EXPECT_TRUE(Recorded().empty());
  EXPECT_EQ(host.commands_started, 0);
}

TEST_F(EditingTest, ClipboardChangeReplacesTheDocumentWithoutUndoOrLengthCheck) {
  editor.current_file_name = "memo.txt";
  editor.max_line_length = 3;
  Load({"x"});
  host.clipboard = "a\tb\r\nlong line";
  ClipboardChanged(editor);
  EXPECT_EQ(Text(), (Utf8{"a,b", "\"long line\""}));
  EXPECT_FALSE(editor.modified);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_EQ(editor.current_file_name, "memo.txt");
  EXPECT_TRUE(Recorded().empty());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.busy_messages, (Utf8{""}));
}

}  // namespace
}  // namespace parvane
