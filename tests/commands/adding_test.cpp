#include "commands/adding.h"

#include <gtest/gtest.h>

#include <random>

#include "automation/run_command.h"
#include "commands/line_commands_fixture.h"
#include "text/cp932.h"

namespace parvane {
namespace {

using AddingTest = LineCommandsTest;

TEST_F(AddingTest, AddAtStartAndEndRecordTheTextAfterTheName) {
  Load({"a", "", "b"});
  host.inputs.push_back(">");
  RunOperation(editor, AddTextAtStart);
  EXPECT_EQ(Text(), (Utf8{">a", ">", ">b"}));
  host.inputs.push_back("a b");
  RunOperation(editor, AddTextAtEnd);
  EXPECT_EQ(Text(), (Utf8{">aa b", ">a b", ">ba b"}));
  EXPECT_EQ(Recorded(), (Utf8{"[行頭に文字列を追加],>", "[行末に文字列を追加],\"a b\""}));
  EXPECT_EQ(host.prompts, (Utf8{"行頭に追加する文字列は？", "行末に追加する文字列は？"}));
}

TEST_F(AddingTest, CancelledOrEmptyTextChangesAndRecordsNothing) {
  Load({"a"});
  host.inputs.push_back(std::nullopt);
  RunOperation(editor, AddTextAtStart);
  host.inputs.push_back("");
  RunOperation(editor, AddTextAtEnd);
  EXPECT_EQ(Text(), (Utf8{"a"}));
  EXPECT_TRUE(Recorded().empty());
  EXPECT_EQ(host.commands_started, 0);
  EXPECT_FALSE(editor.modified);
}

TEST_F(AddingTest, SelectionWithGapsLandsAsOneSelectedBlock) {
  Load({"a", "b", "c", "d", "e"}, {1, 3});
  host.inputs.push_back("X");
  RunOperation(editor, AddTextAtStart);
  EXPECT_EQ(Text(), (Utf8{"a", "Xb", "Xd", "c", "e"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 2}));
}

TEST_F(AddingTest, OneSelectedRowMeansTheWholeDocumentOnlyInTheExtendedStyle) {
  Load({"a", "b"}, {1});
  host.inputs.push_back("X");
  RunOperation(editor, AddTextAtEnd);
  EXPECT_EQ(Text(), (Utf8{"aX", "bX"}));

  Load({"a", "b"}, {1});
  editor.selection_style = SelectionStyle::kStandard;
  host.inputs.push_back("X");
  RunOperation(editor, AddTextAtEnd);
  EXPECT_EQ(Text(), (Utf8{"a", "bX"}));

  Load({"a", "b"});
  host.inputs.push_back("X");
  RunOperation(editor, AddTextAtEnd);
  EXPECT_EQ(Text(), (Utf8{"aX", "bX"}));
}

TEST_F(AddingTest, TooLongResultIsRefusedButStillRecorded) {
  editor.max_line_length = 4;
  Load({"abc", "a"});
  host.inputs.push_back("d");
  RunOperation(editor, AddTextAtEnd);  // exactly 4 bytes: accepted
  EXPECT_EQ(Text(), (Utf8{"abcd", "ad"}));
  host.inputs.push_back("e");
  RunOperation(editor, AddTextAtEnd);
  EXPECT_EQ(Text(), (Utf8{"abcd", "ad"}));
  EXPECT_EQ(host.MessageTexts(), (Utf8{"行が長くなりすぎてしまいます。\r\n処理を中止しました。"}));
  EXPECT_EQ(Recorded(), (Utf8{"[行末に文字列を追加],d", "[行末に文字列を追加],e"}));

  Play({"052", "e"});
  RunOperation(editor, AddTextAtEnd);
  EXPECT_EQ(host.messages.size(), 1u);  // silent in playback
  EXPECT_EQ(Text(), (Utf8{"abcd", "ad"}));
}

TEST_F(AddingTest, ColumnInsertClampsToTheLineAndPreviewsTheMarker) {
  for (auto [column, expected] : std::vector<std::pair<std::string, std::string>>{
           {"3", "abXcdef"}, {"0", "Xabcdef"}, {"1", "Xabcdef"}, {"20", "abcdefX"}}) {
    Load({"abcdef"});
    host.inputs = {column, "X"};
    host.answers = {Answer::kYes};
    RunOperation(editor, AddTextAtColumn);
    EXPECT_EQ(Text(), (Utf8{expected})) << column;
  }
  EXPECT_EQ(host.messages[0].text, "ab[ ※ ]cdef\r\n[ ※ ] の位置に挿入されます。処理を進めますか？");
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kQuestion);
  EXPECT_EQ(Recorded().front(), "[行中に文字列を追加],3,X");

  Load({"abcdef"});
  editor.record_buffer.clear();
  host.inputs = {"3"};
  host.answers = {Answer::kNo};
  RunOperation(editor, AddTextAtColumn);
  EXPECT_EQ(Text(), (Utf8{"abcdef"}));
  EXPECT_TRUE(Recorded().empty());
}

TEST_F(AddingTest, CutAndKeepColumnsWithPreview) {
  Load({"abcdef", "a"});
  host.inputs = {"2"};
  host.answers = {Answer::kYes};
  RunOperation(editor, CutColumnsFromStart);
  EXPECT_EQ(Text(), (Utf8{"cdef", ""}));
  EXPECT_EQ(host.messages[0].text, "abcdef\r\n　が\r\ncdef\r\n　になります。処理を進めますか？");
  EXPECT_EQ(host.busy_messages.back(), "行頭から、半角 2 文字分を削除しています…");

  Load({"abcdef", "a"});
  host.inputs = {"2"};
  host.answers = {Answer::kYes};
  RunOperation(editor, KeepColumnsFromStart);
  EXPECT_EQ(Text(), (Utf8{"ab", "a"}));
  EXPECT_EQ(host.messages[1].text, "abcdef\r\n　が\r\nab\r\n　になります。処理を進めますか？");
  EXPECT_EQ(Recorded(), (Utf8{"[行頭から数文字を削る],2", "[行頭の数文字を残して削る],2"}));

  // Not positive: the preview was shown, then nothing happens.
  host.inputs = {"abc"};
  host.answers = {Answer::kYes};
  RunOperation(editor, CutColumnsFromStart);
  EXPECT_EQ(Text(), (Utf8{"ab", "a"}));
  EXPECT_EQ(Recorded().size(), 2u);
  EXPECT_EQ(host.messages.size(), 3u);
}

TEST_F(AddingTest, ColumnsInsideATwoByteCharacterKeepItOnItsStartingSide) {
  // The preview shows exactly what the command then does.
  Load({"aあb"});
  host.inputs = {"2"};
  host.answers = {Answer::kYes};
  RunOperation(editor, CutColumnsFromStart);
  EXPECT_EQ(Text(), (Utf8{"b"}));
  EXPECT_EQ(host.messages.back().text, "aあb\r\n　が\r\nb\r\n　になります。処理を進めますか？");

  Load({"aあb"});
  host.inputs = {"2"};
  host.answers = {Answer::kYes};
  RunOperation(editor, KeepColumnsFromStart);
  EXPECT_EQ(Text(), (Utf8{"aあ"}));

  Load({"aあb"});
  host.inputs = {"3", "X"};
  host.answers = {Answer::kYes};
  RunOperation(editor, AddTextAtColumn);
  EXPECT_EQ(Text(), (Utf8{"aあXb"}));
  EXPECT_EQ(host.messages.back().text,
            "aあ[ ※ ]b\r\n[ ※ ] の位置に挿入されます。処理を進めますか？");
}

TEST_F(AddingTest, PlaybackParametersFollowTheRule) {
  Load({"abcdef"});
  Play({"053", "3"});  // a literal: no prompt, no preview
  RunOperation(editor, CutColumnsFromStart);
  EXPECT_EQ(Text(), (Utf8{"def"}));
  EXPECT_TRUE(host.prompts.empty());
  EXPECT_TRUE(host.messages.empty());

  // "@all" repeats prompt and preview until Yes and leaves the item as it is.
  Load({"abcdef"});
  Play({"053", "@ALL"});
  host.inputs = {"1", "2"};
  host.answers = {Answer::kNo, Answer::kYes};
  RunOperation(editor, CutColumnsFromStart);
  EXPECT_EQ(Text(), (Utf8{"cdef"}));
  EXPECT_EQ(host.prompts.size(), 2u);
  EXPECT_EQ(SjisToUtf8(editor.step_params[1]), "@ALL");

  Load({"abcdef"});
  Play({"053", "@1st"});
  host.inputs = {"$3"};
  host.answers = {Answer::kYes};
  RunOperation(editor, CutColumnsFromStart);
  EXPECT_EQ(Text(), (Utf8{"def"}));
  EXPECT_EQ(editor.step_params[1], "3");
  EXPECT_EQ(Recorded().back(), "[行頭から数文字を削る],3");
}

TEST_F(AddingTest, LineNumbersAreZeroPaddedToTheCountsDigits) {
  Utf8 lines(12, "x");
  Load(lines);
  RunOperation(editor, AddLineNumbers);
  for (int i = 0; i < 12; ++i) {
    char expected[8];
    std::snprintf(expected, sizeof expected, "%02dx", i + 1);
    EXPECT_EQ(Text()[i], expected);
  }
  EXPECT_EQ(Recorded(), (Utf8{"[行頭に行番号を追加]"}));

  Load(Utf8(300, ""));
  RunOperation(editor, AddHexLineNumbers);
  EXPECT_EQ(Text().front(), "001");
  EXPECT_EQ(Text()[9], "00A");
  EXPECT_EQ(Text().back(), "12C");
  EXPECT_EQ(Recorded().back(), "[行頭に行番号（16進数）を追加]");

  // A selection is numbered from 1.
  Load({"a", "b", "c"}, {1, 2});
  RunOperation(editor, AddLineNumbers);
  EXPECT_EQ(Text(), (Utf8{"a", "1b", "2c"}));
}

TEST_F(AddingTest, AlignLeadingNumbers) {
  const std::vector<std::pair<Utf8, Utf8>> cases = {
      {{"1", "22", "333"}, {"001", "022", "333"}},
      {{"abc", "5"}, {"abc", "5"}},
      {{"  7", "10"}, {"07", "10"}},
      {{"7", "123", "+45"}, {"+007", "+123", "+045"}},
      {{"15", "-3"}, {" 15", "-03"}},
      {{"000", "00.5", "007"}, {"0", "0.5", "7"}},
      {{"", "5", "12"}, {"", "05", "12"}},
      // Digits after the sign count and lose their leading zeros.
      {{"--007", "5"}, {"-7", " 5"}},
      {{"-123", "5"}, {"-123", " 005"}},
  };
  for (const auto& [input, expected] : cases) {
    Load(input);
    RunOperation(editor, AlignLeadingNumbers);
    EXPECT_EQ(Text(), expected) << input[0];
  }
  Load({"face", "G1", "1"});
  RunOperation(editor, AlignLeadingHexNumbers);
  EXPECT_EQ(Text(), (Utf8{"face", "G1", "0001"}));
  EXPECT_EQ(Recorded().back(), "[行頭にある数字（16進数）の桁を揃える]");
}

TEST_F(AddingTest, CharacterCountsCountTwoByteCharactersOnce) {
  Load({"あいb", ""});
  RunOperation(editor, AddCharacterCounts);
  EXPECT_EQ(Text(), (Utf8{"3あいb", "0"}));
  EXPECT_EQ(Recorded(), (Utf8{"[行頭にその行の文字数を追加]"}));
}

TEST_F(AddingTest, EachCommandShowsItsBusyTextAndRecordsItsStep) {
  // Commands without parameters.
  struct Plain {
    void (*command)(Editor&);
    const char* busy;
    const char* step;
  };
  const Plain plain[] = {
      {AddLineNumbers, "行頭に行番号を付けています…", "[行頭に行番号を追加]"},
      {AddHexLineNumbers, "行頭に行番号を付けています…", "[行頭に行番号（16進数）を追加]"},
      {AlignLeadingNumbers, "行頭にある数字の桁を揃えています...", "[行頭にある数字の桁を揃える]"},
      {AlignLeadingHexNumbers, "行頭にある数字の桁を揃えています...",
       "[行頭にある数字（16進数）の桁を揃える]"},
      {AddCharacterCounts, "行頭に行の文字数を追加しています…", "[行頭にその行の文字数を追加]"},
  };
  for (const Plain& c : plain) {
    Load({"1"});
    editor.record_buffer.clear();
    host.busy_messages.clear();
    RunOperation(editor, c.command);
    EXPECT_EQ(host.busy_messages, (Utf8{c.busy}));
    EXPECT_EQ(Recorded(), (Utf8{c.step}));
    EXPECT_TRUE(host.prompts.empty());
  }

  // Commands that ask: the answers, the prompts in order, the busy text and
  // the recorded line. Numbers are recorded in decimal whatever form they
  // were typed in.
  struct Asking {
    void (*command)(Editor&);
    Utf8 inputs;
    Utf8 prompts;
    const char* busy;
    const char* recorded;
  };
  const Asking asking[] = {
      {AddTextAtStart, {"a,b"}, {"行頭に追加する文字列は？"}, "行頭に文字列を追加しています…",
       "[行頭に文字列を追加],\"a,b\""},
      {AddTextAtEnd, {"\"q\""}, {"行末に追加する文字列は？"}, "行末に文字列を追加しています…",
       "[行末に文字列を追加],\"\"\"q\"\"\""},
      {AddTextAtColumn, {"$A", "x"}, {"半角何文字目に挿入しますか？", "行中に追加する文字列は？"},
       "行中に文字列を追加しています…", "[行中に文字列を追加],10,x"},
      {CutColumnsFromStart, {" 12"}, {"行頭から半角何文字分を削りますか？"},
       "行頭から、半角 12 文字分を削除しています…", "[行頭から数文字を削る],12"},
      {KeepColumnsFromStart, {"0x0c"}, {"行頭の半角何文字分を残しますか？"},
       "行頭の半角 12 文字分を残して削除しています…", "[行頭の数文字を残して削る],12"},
  };
  for (const Asking& c : asking) {
    Load({"1"});
    editor.record_buffer.clear();
    host.busy_messages.clear();
    host.prompts.clear();
    host.inputs.assign(c.inputs.begin(), c.inputs.end());
    host.answers = {Answer::kYes};
    RunOperation(editor, c.command);
    host.answers.clear();
    EXPECT_EQ(host.prompts, c.prompts);
    EXPECT_EQ(host.busy_messages, (Utf8{c.busy}));
    EXPECT_EQ(Recorded(), (Utf8{c.recorded}));
  }
}

TEST_F(AddingTest, ColumnDefaultIsZeroAndItsTextFollowsThePlaybackRule) {
  // The column prompt proposes "0"; the others propose nothing.
  struct DefaultHost : ScriptedHost {
    std::vector<std::string> initials;
    std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                        std::string_view initial) override {
      initials.emplace_back(initial);
      return ScriptedHost::InputBox(caption, prompt, initial);
    }
  } asking;
  Editor e(asking);
  e.doc.SetLines({"abc"});
  asking.inputs = {"2", "X"};
  asking.answers = {Answer::kYes};
  RunOperation(e, AddTextAtColumn);
  asking.inputs = {"Y"};
  RunOperation(e, AddTextAtStart);
  EXPECT_EQ(asking.initials, (std::vector<std::string>{"0", "", ""}));
  EXPECT_EQ(e.doc.lines(), (Lines{"YaXbc"}));

  // A literal column with "@1st" for the text: only the text is asked, once.
  Play({"055", "2", "@1st"});
  host.inputs = {"-"};
  for (int file = 0; file < 2; ++file) {
    Load({"ab"});
    RunOperation(editor, AddTextAtColumn);
    EXPECT_EQ(Text(), (Utf8{"a-b"}));
  }
  EXPECT_EQ(host.prompts, (Utf8{"行中に追加する文字列は？"}));
  EXPECT_TRUE(host.messages.empty());  // a literal column is taken without preview
  EXPECT_EQ(editor.step_params[2], "-");
  EXPECT_EQ(Recorded(), (Utf8{"[行中に文字列を追加],2,-", "[行中に文字列を追加],2,-"}));

  // A played column that is not a number reads as 0 (the start); an empty
  // played text abandons the command.
  Play({"055", "abc", "Z"});
  Load({"ab"});
  RunOperation(editor, AddTextAtColumn);
  EXPECT_EQ(Text(), (Utf8{"Zab"}));
  Play({"055", "1", ""});
  RunOperation(editor, AddTextAtColumn);
  EXPECT_EQ(Text(), (Utf8{"Zab"}));
  EXPECT_EQ(Recorded().size(), 3u);
}

TEST(Utf16LengthTest, AgreesWithTheCodePageConverter) {
  std::mt19937 random(7);
  const std::string pieces[] = {"a",    "\x82\xa0", "\x95\x5c", "\xb1",     "\x81",     "\x80",
                                "\xa0", "\xfd",     "\r",       "\x81\x0a", "\x88\x7f", "\xef\x40"};
  for (int round = 0; round < 2000; ++round) {
    std::string s;
    for (int i = random() % 8; i > 0; --i) s += pieces[random() % std::size(pieces)];
    EXPECT_EQ(Utf16Length(s), Cp932ToUtf16(s).size()) << round;
  }
}

class MergeTest : public AddingTest {
 protected:
  TempDir dir;
};

TEST_F(MergeTest, FileLinesAreReusedCyclically) {
  auto file = WriteBytes(dir / "m.txt", "x\r\ny\r\n");
  Load({"a", "b", "c", "d"});
  host.open_files.push_back(file);
  RunOperation(editor, MergeFileAtStart);
  EXPECT_EQ(Text(), (Utf8{"xa", "yb", "xc", "yd"}));
  EXPECT_EQ(Recorded(), (Utf8{"[行頭に他のファイルを合成]," + file.string()}));
  EXPECT_EQ(SjisToUtf8(host.open_dialogs[0].title), "行頭に合成するファイルを開く");

  // Played back, the step's file is read without a dialog.
  Play({"065", file.string()});
  RunOperation(editor, MergeFileAtEnd);
  EXPECT_EQ(Text(), (Utf8{"xax", "yby", "xcx", "ydy"}));
  EXPECT_EQ(host.open_dialogs.size(), 1u);
}

TEST_F(MergeTest, AskedOnceTheFileStaysInTheStep) {
  auto file = WriteBytes(dir / "m.txt", "1\r\n");
  Play({"065", "@1st"});
  host.open_files.push_back(file);
  for (int run = 0; run < 2; ++run) {
    Load({"a"});
    RunOperation(editor, MergeFileAtEnd);
    EXPECT_EQ(Text(), (Utf8{"a1"}));
  }
  ASSERT_EQ(host.open_dialogs.size(), 1u);
  EXPECT_EQ(SjisToUtf8(host.open_dialogs[0].title), "行末に合成するファイルを開く");
  EXPECT_EQ(host.open_dialogs[0].default_extension, "txt");
  EXPECT_EQ(SjisToUtf8(host.open_dialogs[0].filter),
            "テキストファイル (*.txt)|*.txt|カンマ区切りテキストファイル (*.csv)|*.csv|"
            "すべてのファイル (*.*)|*.*");
  EXPECT_EQ(editor.step_params[1], file.string());
  EXPECT_EQ(host.busy_messages, (Utf8{"行末にテキストファイルを合成しています…",
                                      "行末にテキストファイルを合成しています…"}));

  // A cancelled dialog under "@1st" leaves the word itself, which names no
  // file: nothing runs and nothing is recorded.
  Play({"064", "@1st"});
  host.open_files.push_back(std::nullopt);
  RunOperation(editor, MergeFileAtStart);
  EXPECT_EQ(Text(), (Utf8{"a1"}));
  EXPECT_EQ(Recorded().size(), 2u);
}

TEST_F(MergeTest, FilesOfOtherCodesArriveAsShiftJis) {
  // UTF-8 with a byte order mark, and EUC-JP: "あ" and "日本語" in the lines.
  for (const std::string& bytes : {std::string("\xEF\xBB\xBF\xE3\x81\x82\r\n"),
                                   std::string("\xC6\xFC\xCB\xDC\xB8\xEC\r\n")}) {
    auto file = WriteBytes(dir / "code.txt", bytes);
    Load({"a"});
    host.open_files.push_back(file);
    RunOperation(editor, MergeFileAtStart);
    EXPECT_EQ(Text(), (Utf8{bytes[0] == '\xEF' ? "あa" : "日本語a"}));
  }
}

TEST_F(MergeTest, MissingOrEmptyFileChangesNothing) {
  Load({"a"});
  Play({"064", (dir / "none.txt").string()});
  RunOperation(editor, MergeFileAtStart);
  EXPECT_EQ(Recorded().size(), 0u);
  EXPECT_EQ(host.commands_started, 0);

  auto empty = WriteBytes(dir / "e.txt", "");
  editor.step_params.clear();
  host.open_files.push_back(empty);
  RunOperation(editor, MergeFileAtEnd);
  EXPECT_EQ(Text(), (Utf8{"a"}));
  EXPECT_EQ(Recorded().size(), 1u);
}

}  // namespace
}  // namespace parvane
