// Recording to .pvx files and reading them back.
#include <gtest/gtest.h>

#include "automation/pvx_file.h"
#include "automation/recording.h"
#include "editor/fields.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Records a step as a command running under that name would.
void Record(Editor& editor, const std::string& name_utf8, const Lines& params = {}) {
  const StepSpec step{Sjis(name_utf8), {}};
  RunningStep running(editor, step, nullptr);
  editor.RecordStep(params);
}

class RecordingTest : public ::testing::Test {
 protected:
  ScriptedHost host;
  Editor editor{host};
  AutomationState state;
  TempDir dir;
};

TEST_F(RecordingTest, SavesTitleAndStepsAsShiftJisWithCrLfAfterEveryLine) {
  editor.record_buffer = {"old"};
  StartRecording(editor, state);
  EXPECT_TRUE(state.recording);
  EXPECT_TRUE(editor.record_buffer.empty());
  Record(editor, "[逆にする]");
  Record(editor, "[行頭に文字列を追加]", {"a \"b\",c"});

  host.inputs.push_back("整形");
  host.save_files.push_back(dir / "m.pvx");
  auto written = EndRecording(editor, state);
  ASSERT_TRUE(written);
  EXPECT_EQ(ReadBytes(dir / "m.pvx"),
            Sjis("TITLE=整形\r\n[逆にする]\r\n[行頭に文字列を追加],\"a \"\"b\"\",c\"\r\n"));
  EXPECT_EQ(host.prompts, (std::vector<std::string>{"この操作の名前は？"}));
  EXPECT_EQ(host.save_dialogs.at(0).default_extension, "pvx");
  EXPECT_TRUE(editor.record_buffer.empty());
  EXPECT_FALSE(state.recording);

  Lines read;
  std::string error;
  ASSERT_TRUE(ReadPvxFile(dir / "m.pvx", &read, &error));
  EXPECT_EQ(PvxTitle(read), Sjis("整形"));
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(SplitFields(read[2]), (Lines{Sjis("[行頭に文字列を追加]"), "a \"b\",c"}));
}

TEST_F(RecordingTest, EmptyOrCancelledTitleIsUntitledAndNoStepsLeaveOnlyTheTitle) {
  for (std::optional<std::string> title : {std::optional<std::string>(""),
                                           std::optional<std::string>()}) {
    StartRecording(editor, state);
    host.inputs.push_back(title);
    host.save_files.push_back(dir / "t.pvx");
    ASSERT_TRUE(EndRecording(editor, state));
    EXPECT_EQ(ReadBytes(dir / "t.pvx"), Sjis("TITLE=無題\r\n"));
  }
}

TEST_F(RecordingTest, CancellingAsksToDiscardAndNoShowsTheDialogAgain) {
  StartRecording(editor, state);
  Record(editor, "[逆にする]");
  host.inputs.push_back("t");
  host.save_files = {std::nullopt, dir / "second.pvx"};
  host.answers = {Answer::kNo};
  ASSERT_TRUE(EndRecording(editor, state));
  EXPECT_EQ(host.save_dialogs.size(), 2u);
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"操作の記録を破棄してよろしいですか？"}));
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(ReadBytes(dir / "second.pvx"), Sjis("TITLE=t\r\n[逆にする]\r\n"));
}

TEST_F(RecordingTest, YesDiscardsTheSteps) {
  StartRecording(editor, state);
  Record(editor, "[逆にする]");
  host.inputs.push_back("t");
  host.save_files = {std::nullopt};
  host.answers = {Answer::kYes};
  EXPECT_FALSE(EndRecording(editor, state));
  EXPECT_TRUE(editor.record_buffer.empty());
  EXPECT_FALSE(state.recording);
}

TEST_F(RecordingTest, AnUnwritableTargetKeepsTheStepsForAnotherChoice) {
  StartRecording(editor, state);
  Record(editor, "[逆にする]");
  host.inputs.push_back("t");
  host.save_files = {dir / "no-such-dir" / "x.pvx", dir / "ok.pvx"};
  ASSERT_TRUE(EndRecording(editor, state));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(ReadBytes(dir / "ok.pvx"), Sjis("TITLE=t\r\n[逆にする]\r\n"));
}

TEST(PvxFileTest, ReadsEveryLineBreakAndFindsTheTitleInAnyCase) {
  TempDir dir;
  WriteBytes(dir / "a.pvx", "title=x\r003\n5\r\n053,3");
  Lines lines;
  std::string error;
  ASSERT_TRUE(ReadPvxFile(dir / "a.pvx", &lines, &error));
  EXPECT_EQ(lines, (Lines{"title=x", "003", "5", "053,3"}));
  EXPECT_EQ(PvxTitle(lines), "x");
  EXPECT_EQ(PvxTitle(Lines{"003"}), std::nullopt);
  EXPECT_FALSE(ReadPvxFile(dir / "missing.pvx", &lines, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace parvane
