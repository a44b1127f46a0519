#include "commands/removed_lines.h"

#include <gtest/gtest.h>

#include "automation/run_command.h"
#include "commands/tidying.h"
#include "line_commands_fixture.h"

namespace parvane {
namespace {

using RemovedLinesTest = LineCommandsTest;

TEST_F(RemovedLinesTest, ListIsInCollationOrderAndCopiesWithLineEnds) {
  host.on_removed_lines = [this](Editor& e) {
    EXPECT_EQ(Removed(), (Utf8{"a", "b", "c"}));
    RemovedLinesCopy(e);
  };
  Load({"b", "b", "a", "a", "c", "c"});
  RunOperation(editor, CollapseDuplicateLines);
  EXPECT_EQ(host.removed_lines_shown, 1);
  EXPECT_EQ(host.clipboard, "a\r\nb\r\nc\r\n");
  EXPECT_EQ(Recorded(), (Utf8{"[連続する重複行を一行にまとめる],[クリップボードにコピー]"}));
}

TEST_F(RemovedLinesTest, EqualLinesUnderCollationKeepTheirDocumentOrder) {
  Load({"b", "b", "a", "a", "A", "A", "a", "a"});
  RunOperation(editor, RemoveDuplicateLines);
  EXPECT_EQ(Removed(), (Utf8{"a", "a", "A", "A", "a", "a", "b", "b"}));
}

TEST_F(RemovedLinesTest, NothingRemovedSaysSoAndRecordsTheNameAlone) {
  Load({"a", "b", "a"});
  RunOperation(editor, CollapseDuplicateLines);
  EXPECT_EQ(host.removed_lines_shown, 0);
  ASSERT_EQ(host.MessageTexts(), (Utf8{"一行も削除されませんでした。"}));
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(Recorded(), (Utf8{"[連続する重複行を一行にまとめる]"}));
}

TEST_F(RemovedLinesTest, TheLastChoiceInTheWindowIsRecorded) {
  host.on_removed_lines = [](Editor& e) {
    RemovedLinesCopy(e);
    RemovedLinesMove(e);
  };
  Load({"x", "x", "y"});
  RunOperation(editor, RemoveDuplicateLines);
  EXPECT_EQ(Text(), (Utf8{"x", "x"}));
  EXPECT_EQ(Recorded(), (Utf8{"[連続する重複行を残さず削除],[メインウィンドウに移す]"}));
}

TEST_F(RemovedLinesTest, MoveThenUndoGivesBackTheDeduplicatedDocument) {
  host.on_removed_lines = [](Editor& e) { RemovedLinesMove(e); };
  Load({"p", "p", "q", "q", "r"});
  RunOperation(editor, CollapseDuplicateLines);
  EXPECT_EQ(Text(), (Utf8{"p", "q"}));
  editor.Undo();
  EXPECT_EQ(Text(), (Utf8{"p", "q", "r"}));
}

TEST_F(RemovedLinesTest, PlaybackChoicesActWithoutShowingAnything) {
  for (const char* move : {"2", "[メインウィンドウに移す]"}) {
    Play({"056", move});
    Load({"k", "k", "j"});
    RunOperation(editor, CollapseDuplicateLines);
    EXPECT_EQ(Text(), (Utf8{"k"}));
    EXPECT_EQ(Recorded().back(), "[連続する重複行を一行にまとめる],[メインウィンドウに移す]");
  }
  Play({"057", "1"});
  Load({"k", "k", "j"});
  RunOperation(editor, RemoveDuplicateLines);
  EXPECT_EQ(Text(), (Utf8{"j"}));
  EXPECT_EQ(host.clipboard, "k\r\nk\r\n");
  EXPECT_EQ(Recorded().back(), "[連続する重複行を残さず削除],[クリップボードにコピー]");

  // "@all", an unknown word and a near miss in case discard the lines.
  for (const char* discard : {"@all", "3", "[メインウィンドウにうつす]", "[クリップボードにコピー] "}) {
    host.clipboard.clear();
    Play({"056", discard});
    Load({"k", "k", "j"});
    RunOperation(editor, CollapseDuplicateLines);
    EXPECT_EQ(Text(), (Utf8{"k", "j"}));
    EXPECT_TRUE(host.clipboard.empty());
    EXPECT_EQ(Recorded().back(), "[連続する重複行を一行にまとめる]");
  }
  // Nothing removed during playback: no message either.
  Play({"056", "2"});
  Load({"a", "b"});
  RunOperation(editor, CollapseDuplicateLines);
  EXPECT_EQ(Text(), (Utf8{"a", "b"}));
  EXPECT_EQ(host.removed_lines_shown, 0);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(RemovedLinesTest, APlayedStepSortsTheListOnlyWhenItCopiesOrMovesIt) {
  Play({"057", "2"});
  Load({"b", "b", "c", "a", "a"});
  RunOperation(editor, RemoveDuplicateLines);
  EXPECT_EQ(Text(), (Utf8{"a", "a", "b", "b"}));
  Play({"057", "1"});
  Load({"b", "b", "c", "a", "a"});
  RunOperation(editor, RemoveDuplicateLines);
  EXPECT_EQ(host.clipboard, "a\r\na\r\nb\r\nb\r\n");
  // Read by nobody: left in the order removed.
  Play({"057", "@all"});
  Load({"b", "b", "c", "a", "a"});
  RunOperation(editor, RemoveDuplicateLines);
  EXPECT_EQ(Removed(), (Utf8{"b", "b", "a", "a"}));
  EXPECT_EQ(Text(), (Utf8{"c"}));
}

// Notes how many steps the record list would show at each end of a command.
class RecordListHost : public ScriptedHost {
 public:
  const Editor* editor = nullptr;
  std::vector<std::size_t> steps_shown;
  int depth = 0;
  void CommandStarted(std::string_view busy_message) override {
    ScriptedHost::CommandStarted(busy_message);
    ++depth;
  }
  void CommandEnded() override {
    ScriptedHost::CommandEnded();
    --depth;
    steps_shown.push_back(editor->record_buffer.size());
  }
};

TEST(RemovedLinesRefreshTest, TheRecordListShowsTheStepOnceTheCommandIsOver) {
  // Shown, played with each choice, and with nothing removed: however the
  // epilogue goes, the last refresh comes after its step was recorded, and
  // every start has its end (a batch run keeps its own start open around
  // the steps).
  const std::vector<std::vector<std::string>> played = {{}, {"056", "1"}, {"056", "2"}, {"056", "@all"}};
  for (const auto& params : played) {
    for (bool removes : {true, false}) {
      RecordListHost host;
      host.on_removed_lines = [](Editor& e) { RemovedLinesMove(e); };
      host.strict = false;
      Editor editor(host);
      host.editor = &editor;
      editor.step_params = SjisLines(params);
      editor.doc.SetLines(removes ? Lines{"a", "a", "b"} : Lines{"a", "b"});
      RunOperation(editor, CollapseDuplicateLines);
      ASSERT_EQ(editor.record_buffer.size(), 1u);
      // No choice outlives the command to be taken by a later one.
      EXPECT_EQ(editor.removed_lines_choice, std::nullopt);
      EXPECT_EQ(host.steps_shown.back(), 1u) << params.size() << removes;
      EXPECT_EQ(host.commands_started, host.commands_ended);
      EXPECT_EQ(host.depth, 0);
    }
  }
}

TEST_F(RemovedLinesTest, CopyOfAnEmptyListDoesNothing) {
  editor.removed_lines_choice.emplace();  // as while the window shows
  host.clipboard = "before";
  RemovedLinesCopy(editor);
  EXPECT_EQ(host.clipboard, "before");
  EXPECT_EQ(editor.removed_lines_choice, "");
}

TEST_F(RemovedLinesTest, EmptyDocumentReportsNothingRemovedDespiteLeftoverWork) {
  // A refused result stays in work_lines; an empty document collects nothing.
  editor.work_lines = {"z", "z"};
  RunOperation(editor, CollapseDuplicateLines);
  EXPECT_TRUE(editor.removed_lines.empty());
  EXPECT_EQ(host.MessageTexts(), (Utf8{"一行も削除されませんでした。"}));
}

TEST_F(RemovedLinesTest, SaveWritesTheListAsItIs) {
  TempDir dir;
  SetRemovedLines(editor, SjisLines({"い", "あ"}));
  host.save_files = {dir / "removed.txt"};
  EXPECT_TRUE(RemovedLinesSaveAs(editor));
  EXPECT_EQ(ReadBytes(dir / "removed.txt"), Sjis("あ\r\nい\r\n"));
  ASSERT_EQ(host.save_dialogs.size(), 1u);
  EXPECT_EQ(host.save_dialogs[0].default_extension, "txt");
  EXPECT_EQ(host.save_dialogs[0].filter, Sjis("テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*"));
  EXPECT_TRUE(editor.record_buffer.empty());

  EXPECT_FALSE(RemovedLinesSave(editor, dir / "missing" / "removed.txt"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kError);
  EXPECT_NE(host.messages[0].text.find("removed.txt"), std::string::npos);
}

}  // namespace
}  // namespace parvane
