// User commands and the batch flow over dropped files.
#include <gtest/gtest.h>

#include "automation/batch.h"
#include "automation/recording.h"
#include "automation/user_commands.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    editor.options.backup = false;
    editor.options.trash = false;
  }
  std::filesystem::path Pvx(const std::string& name, const std::vector<std::string>& utf8_lines) {
    return WriteBytes(dir / name, JoinLines(SjisLines(utf8_lines)));
  }
  void Bind(int slot, const std::filesystem::path& file) {
    editor.options.user_command_files[static_cast<std::size_t>(slot)] = file.string();
  }
  ScriptedHost host;
  Editor editor{host};
  AutomationState state;
  TempDir dir;
  ScopedEnv data_home{"XDG_DATA_HOME", (dir / "data").string()};
};

TEST_F(BatchTest, SlotTitlesAndCaptions) {
  EXPECT_EQ(SjisToUtf8(UserCommandTitle(dir / "missing.pvx")), "未設定");
  EXPECT_EQ(SjisToUtf8(UserCommandTitle(Pvx("empty.pvx", {}))), "未設定");
  EXPECT_EQ(SjisToUtf8(UserCommandTitle(Pvx("none.pvx", {"003"}))), "無題");
  EXPECT_EQ(SjisToUtf8(UserCommandTitle(Pvx("blank.pvx", {"TITLE=", "003"}))), "無題");
  EXPECT_EQ(SjisToUtf8(UserCommandTitle(Pvx("t.pvx", {"TITLE=整形", "003"}))), "整形");
  EXPECT_EQ(SjisToUtf8(SlotListEntry(2, Sjis("整形"))), "(3) 整形");
  EXPECT_EQ(SjisToUtf8(SlotMenuCaption(2, Sjis("整形"))), "整形(&3)");
  EXPECT_EQ(SjisToUtf8(SlotMenuCaption(9, Sjis("未設定"))), "未設定(&0)");

  Bind(0, dir / "t.pvx");
  editor.record_buffer = SjisLines({"[逆にする]", "[行頭に文字列を追加],> "});
  Lines choices = BatchChoices(editor, state);
  ASSERT_EQ(choices.size(), 11u);
  EXPECT_EQ(SjisToUtf8(choices[0]), "(1) 整形");
  EXPECT_EQ(SjisToUtf8(choices[9]), "(0) 未設定");
  EXPECT_EQ(SjisToUtf8(choices[10]), "(-) [行頭に文字列を追加],> ");
  editor.record_buffer.clear();
  EXPECT_EQ(BatchChoices(editor, state).size(), 10u);
  EXPECT_TRUE(state.last_step_text.empty());
}

TEST_F(BatchTest, AnUnsetOrVanishedSlotDoesNothing) {
  editor.doc.SetLines({"b", "a"});
  EXPECT_FALSE(RunUserCommand(editor, state, 2));
  Bind(2, dir / "gone.pvx");
  EXPECT_FALSE(RunUserCommand(editor, state, 2));
  EXPECT_FALSE(editor.modified);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(BatchTest, AUserCommandRunDuringARecordingRecordsItsStepsWithTheValuesUsed) {
  Bind(4, Pvx("steps.pvx", {"TITLE=steps", "[逆にする]", "058,@1st", "[変換],x"}));
  editor.doc.SetLines({"abc", "de"});
  StartRecording(editor, state);
  host.inputs = {"2"};
  ASSERT_TRUE(RunUserCommand(editor, state, 4));
  EXPECT_EQ(editor.doc.lines(), (Lines{"de", "ab", "c"}));

  host.inputs.push_back("t");
  host.save_files.push_back(dir / "recorded.pvx");
  ASSERT_TRUE(EndRecording(editor, state));
  // The steps it ran, not the file: the answer in place of "@1st", and
  // nothing for the line that ran no command.
  EXPECT_EQ(ReadBytes(dir / "recorded.pvx"),
            Sjis("TITLE=t\r\n[逆にする]\r\n[指定文字数で改行（禁則無し）],2\r\n"));
}

TEST_F(BatchTest, NothingSelectedChangesNoFile) {
  auto file = WriteBytes(dir / "a.txt", "b\r\na\r\n");
  EXPECT_TRUE(ProcessDroppedFiles(editor, state, {file}, std::nullopt).empty());
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"処理が選択されていません。"}));
  EXPECT_EQ(ReadBytes(file), "b\r\na\r\n");
}

TEST_F(BatchTest, FirstAnswerServesTheWholeDropEveryAnswerIsAskedPerFile) {
  std::vector<std::filesystem::path> files;
  for (const char* name : {"1.txt", "2.txt", "3.txt"}) files.push_back(WriteBytes(dir / name, "abcdef\r\n"));
  Bind(0, Pvx("once.pvx", {"TITLE=once", "[指定文字数で改行（禁則無し）],@1st"}));
  Bind(1, Pvx("every.pvx", {"TITLE=every", "058,@ALL"}));

  host.inputs = {"4"};
  auto results = ProcessDroppedFiles(editor, state, files, 0);
  EXPECT_EQ(results, std::vector<BatchFileResult>(3, BatchFileResult::kProcessed));
  EXPECT_EQ(host.prompts.size(), 1u);
  for (const auto& f : files) EXPECT_EQ(ReadBytes(f), "abcd\r\nef\r\n");
  EXPECT_FALSE(state.batch);

  host.inputs = {"3", "2", "1"};
  ProcessDroppedFiles(editor, state, files, 1);
  EXPECT_EQ(host.prompts.size(), 4u);
  EXPECT_EQ(ReadBytes(files[0]), "abc\r\nd\r\nef\r\n");
  EXPECT_EQ(ReadBytes(files[1]), "ab\r\ncd\r\nef\r\n");
  EXPECT_EQ(ReadBytes(files[2]), "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n");

  // A drop from the menu afterwards reads the file afresh and asks again.
  host.inputs = {"5"};
  editor.doc.SetLines({"abcdef"});
  RunUserCommand(editor, state, 0);
  EXPECT_EQ(editor.doc.lines(), (Lines{"abcde", "f"}));
}

TEST_F(BatchTest, MissingAndUnloadableFilesAreSkippedAndTheRestProcessed) {
  editor.max_line_length = 8;
  auto too_long = WriteBytes(dir / "long.txt", "123456789\r\nb\r\na\r\n");
  auto good = WriteBytes(dir / "good.txt", "b\r\na\r\n");
  Bind(0, Pvx("rev.pvx", {"TITLE=r", "003"}));
  auto results = ProcessDroppedFiles(editor, state, {dir / "missing.txt", too_long, good}, 0);
  EXPECT_EQ(results, (std::vector<BatchFileResult>{BatchFileResult::kMissing,
                                                   BatchFileResult::kNotLoaded,
                                                   BatchFileResult::kProcessed}));
  EXPECT_EQ(ReadBytes(too_long), "123456789\r\nb\r\na\r\n");
  EXPECT_EQ(ReadBytes(good), "a\r\nb\r\n");
  ASSERT_EQ(host.messages.size(), 2u);  // the loader's refusal, then the skip
  EXPECT_NE(host.messages[1].text.find("long.txt"), std::string::npos);
}

TEST_F(BatchTest, ASkippedFirstFileDoesNotMakeTheNextReplayOldSteps) {
  editor.max_line_length = 8;
  state.step_list = SjisLines({"[逆にする]"});  // from an earlier run
  Bind(0, Pvx("sort.pvx", {"TITLE=s", "[長さ順にする]"}));
  auto too_long = WriteBytes(dir / "long.txt", "123456789\r\n");
  auto good = WriteBytes(dir / "good.txt", "aaa\r\nb\r\ncc\r\n");
  ProcessDroppedFiles(editor, state, {too_long, good}, 0);
  EXPECT_EQ(ReadBytes(good), "b\r\ncc\r\naaa\r\n");
}

TEST_F(BatchTest, MostRecentCommandWithItsParametersAndBackupCopies) {
  editor.options.backup = true;
  editor.options.trash = false;
  editor.record_buffer = SjisLines({"[指定文字数で改行（禁則無し）],2"});
  BatchChoices(editor, state);
  auto a = WriteBytes(dir / "a.txt", "abcd\r\n");
  auto b = WriteBytes(dir / "b.csv", "xyz\r\n");
  ProcessDroppedFiles(editor, state, {a, b}, kMostRecentCommandEntry);
  EXPECT_EQ(ReadBytes(a), "ab\r\ncd\r\n");
  EXPECT_EQ(ReadBytes(b), "xy\r\nz\r\n");
  EXPECT_EQ(ReadBytes(dir / "a.bak"), "abcd\r\n");
  EXPECT_EQ(ReadBytes(dir / "b.bak"), "xyz\r\n");
  EXPECT_TRUE(host.prompts.empty());

  editor.options.trash = true;
  ProcessDroppedFiles(editor, state, {a}, kMostRecentCommandEntry);
  EXPECT_EQ(ReadBytes(dir / "data" / "Trash" / "files" / "a.bak"), "ab\r\ncd\r\n");
  EXPECT_EQ(ReadBytes(dir / "a.bak"), "abcd\r\n");
}

TEST_F(BatchTest, AFailedRunNeitherSavesNorBacksUpAndIsSummedUp) {
  editor.options.backup = true;
  editor.options.trash = false;
  Bind(0, Pvx("bad.pvx", {"TITLE=bad", "[逆にする]", "[正規表現置換],(,x", "[逆にする]"}));
  auto a = WriteBytes(dir / "a.txt", "1\n2\n");
  auto b = WriteBytes(dir / "b.txt", "x\r\n");
  std::string failure;
  EXPECT_EQ(ProcessDroppedFile(editor, state, a, 0, &failure), BatchFileResult::kFailed);
  EXPECT_EQ(SjisToUtf8(failure), "need right parenthesis.");
  EXPECT_EQ(ReadBytes(a), "1\n2\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "a.bak"));

  auto results = ProcessDroppedFiles(editor, state, {a, dir / "gone.txt", b}, 0);
  EXPECT_EQ(results, (std::vector<BatchFileResult>{BatchFileResult::kFailed,
                                                   BatchFileResult::kMissing,
                                                   BatchFileResult::kFailed}));
  EXPECT_EQ(ReadBytes(b), "x\r\n");

  const std::string summary = BatchSummaryUtf8({{a, BatchFileResult::kFailed, Sjis("bad\r\nstep")},
                                                {dir / "gone.txt", BatchFileResult::kMissing, {}},
                                                {b, BatchFileResult::kProcessed, {}},
                                                {b, BatchFileResult::kNotLoaded, {}},
                                                {b, BatchFileResult::kNotSaved, {}}});
  EXPECT_EQ(summary, "5 個のファイルのうち、処理 1 個、スキップ 2 個、失敗 2 個。\n\n" + a.string() +
                         "（処理に失敗しました: bad  step）\n" + (dir / "gone.txt").string() +
                         "（見つかりません）\n" + b.string() + "（読み込めませんでした）\n" +
                         b.string() + "（保存できませんでした）");
  EXPECT_EQ(BatchSummaryUtf8({{a, BatchFileResult::kProcessed, {}}}), "");
}

TEST_F(BatchTest, FileSavedInItsOwnCode) {
  // EUC-JP in ("ちょっと", "あいうえお"), EUC-JP out, sorted, with its LF.
  const std::string chotto = "\xa4\xc1\xa4\xe7\xa4\xc3\xa4\xc8";
  const std::string aiueo = "\xa4\xa2\xa4\xa4\xa4\xa6\xa4\xa8\xa4\xaa";
  auto file = WriteBytes(dir / "e.txt", chotto + "\n" + aiueo + "\n");
  const std::string euc_ab = aiueo + "\n" + chotto + "\n";
  Bind(0, Pvx("sort.pvx", {"TITLE=s", "001"}));
  ProcessDroppedFiles(editor, state, {file}, 0);
  EXPECT_EQ(ReadBytes(file), euc_ab);
}

}  // namespace
}  // namespace parvane
