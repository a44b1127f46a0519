// The player: substitution, one undo for the run, parameters, errors.
#include <gtest/gtest.h>

#include "automation/command_table.h"
#include "automation/playback.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override { editor.doc.SetLines({"c", "b", "a"}); }
  ScriptedHost host;
  Editor editor{host};
};

TEST_F(PlaybackTest, TitleOnlyTakesTheSnapshotAndMarksModified) {
  Lines steps = {"TITLE=x"};
  PlayReport report = PlaySteps(editor, steps);
  EXPECT_EQ(report.steps_run, 0u);
  EXPECT_TRUE(editor.modified);
  EXPECT_EQ(editor.UndoText(), "c\r\nb\r\na\r\n");
  EXPECT_TRUE(editor.step_params.empty());
  // The player writes back the padded fields.
  EXPECT_EQ(steps, (Lines{"TITLE=x,@all,@all,@all,@all,@all,@all,@all"}));
}

TEST_F(PlaybackTest, EmptyListDoesNothingAtAll) {
  Lines steps;
  PlaySteps(editor, steps);
  EXPECT_FALSE(editor.modified);
  EXPECT_FALSE(editor.CanUndo());
}

TEST_F(PlaybackTest, OneUndoRestoresTheWholeRun) {
  Lines steps = SjisLines({"TITLE=t", "[逆にする]", "[変換],x", "", "99", "-3", "[五十音順にする]", "3"});
  PlayReport report = PlaySteps(editor, steps);
  EXPECT_EQ(report.steps_run, 3u);
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(editor.doc.lines(), (Lines{"c", "b", "a"}));
  EXPECT_EQ(editor.record_buffer, SjisLines({"[逆にする]", "[五十音順にする]", "[逆にする]"}));
  editor.Undo();
  EXPECT_EQ(editor.doc.lines(), (Lines{"c", "b", "a"}));
  EXPECT_EQ(steps[1], "003,@all,@all,@all,@all,@all,@all,@all");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(PlaybackTest, CodesInAnyDecimalFormAndNamesInParametersBecomeCodes) {
  Lines steps = SjisLines({"0003", " 3"});
  PlaySteps(editor, steps);
  EXPECT_EQ(editor.doc.lines(), (Lines{"c", "b", "a"}));
  Lines named = SjisLines({"[行頭に文字列を追加],[削除]"});
  PlaySteps(editor, named);
  EXPECT_EQ(named[0].substr(0, 8), "051,040,");
}

TEST_F(PlaybackTest, AllAsksEveryRunFirstAsksOnceAndKeepsTheAnswer) {
  editor.doc.SetLines({"abcdef"});
  Lines once = SjisLines({"058,@1st"});
  host.inputs = {"4"};
  PlaySteps(editor, once);
  EXPECT_EQ(editor.doc.lines(), (Lines{"abcd", "ef"}));
  EXPECT_EQ(once[0], "058,4,@all,@all,@all,@all,@all,@all");
  editor.doc.SetLines({"abcdef"});
  PlaySteps(editor, once);
  EXPECT_EQ(editor.doc.lines(), (Lines{"abcd", "ef"}));
  EXPECT_EQ(host.prompts.size(), 1u);

  Lines every = SjisLines({"058"});  // a missing parameter counts as "@all"
  host.inputs = {"3", "2"};
  editor.doc.SetLines({"abcdef"});
  PlaySteps(editor, every);
  EXPECT_EQ(editor.doc.lines(), (Lines{"abc", "def"}));
  editor.doc.SetLines({"abcdef"});
  PlaySteps(editor, every);
  EXPECT_EQ(editor.doc.lines(), (Lines{"ab", "cd", "ef"}));
  EXPECT_EQ(host.prompts, (std::vector<std::string>(3, "何文字で折り返しますか？")));
  EXPECT_EQ(editor.record_buffer.back(), Sjis("[指定文字数で改行（禁則無し）],2"));
}

TEST_F(PlaybackTest, ARefusedResultIsSilentButReported) {
  editor.max_line_length = 4;
  editor.doc.SetLines({"ab", "cd", "ef"});
  Lines steps = SjisLines({"[選択項目を一行に結合する]", "[逆にする]"});
  PlayReport report = PlaySteps(editor, steps);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_EQ(report.problems[0].kind, StepProblem::Kind::kRefused);
  EXPECT_EQ(report.problems[0].line, 0u);
  EXPECT_EQ(editor.doc.lines(), (Lines{"ef", "cd", "ab"}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(PlaybackTest, AStepThatRaisesOrShowsAnErrorEndsTheRun) {
  struct Case {
    Lines document;
    std::vector<std::string> steps;
    std::string error;  // what the failing step showed
  };
  const std::string half(30001, 'x');
  const Case cases[] = {
      {{"ab", "cd"}, {"[正規表現置換],(,x", "[逆にする]"}, "need right parenthesis."},
      // A refusal with a message box of its own, no exception.
      {{half, half + "y"}, {"[選択項目を一行に結合する]", "[逆にする]"},
       "結合できませんでした。大きすぎます。"},
  };
  for (const Case& c : cases) {
    ScriptedHost host;
    Editor editor(host);
    editor.doc.SetLines(c.document);
    Lines steps = SjisLines(c.steps);
    PlayReport report = PlaySteps(editor, steps);
    EXPECT_EQ(editor.doc.lines(), c.document) << c.error;
    ASSERT_EQ(report.problems.size(), 1u) << c.error;
    EXPECT_EQ(report.problems[0].kind, StepProblem::Kind::kError);
    EXPECT_EQ(SjisToUtf8(report.problems[0].message), c.error);
    EXPECT_EQ(RunFailure(report), &report.problems[0]);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{c.error});
    // The step that did not run keeps its line (as the name substitution left it).
    EXPECT_EQ(steps[1], "003");
    EXPECT_TRUE(editor.step_params.empty());
  }
}

TEST_F(PlaybackTest, ARunFailsOnlyByItsProblems) {
  editor.doc.SetLines({"b", "a"});
  Lines steps = SjisLines({"[逆にする]"});
  EXPECT_EQ(RunFailure(PlaySteps(editor, steps)), nullptr);
  editor.max_line_length = 1;
  Lines join = SjisLines({"[行末に文字列を追加],x"});
  PlayReport refused = PlaySteps(editor, join);
  ASSERT_NE(RunFailure(refused), nullptr);
  EXPECT_EQ(RunFailure(refused)->kind, StepProblem::Kind::kRefused);
  EXPECT_EQ(SjisToUtf8(RunFailure(refused)->message),
            "行が長くなりすぎてしまいます。\r\n処理を中止しました。");
}

// A Host whose every question aborts the run, as the command-line tool's does
// when no answer is left.
class AbortingHost : public ScriptedHost {
 public:
  std::optional<std::string> InputBox(std::string_view, std::string_view, std::string_view) override {
    throw PlaybackAborted("no answer");
  }
};

TEST(PlaybackAbortTest, AnAbortingHostEndsTheRunWithStepParamsEmpty) {
  AbortingHost host;
  Editor editor(host);
  editor.doc.SetLines({"abc"});
  Lines steps = SjisLines({"058", "003"});
  EXPECT_THROW(PlaySteps(editor, steps), PlaybackAborted);
  EXPECT_TRUE(editor.step_params.empty());
  EXPECT_EQ(editor.doc.lines(), (Lines{"abc"}));
}

}  // namespace
}  // namespace parvane
