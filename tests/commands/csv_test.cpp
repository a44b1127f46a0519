#include "commands/csv.h"

#include <gtest/gtest.h>

#include <random>

#include "commands/find_replace.h"
#include "commands/line_commands_fixture.h"
#include "editor/fields.h"

namespace parvane {
namespace {

using CsvTest = LineCommandsTest;

// The field rules the commands of this menu rely on ('Q' standing for the
// double quote in the names of the cases).
TEST(CsvFieldsTest, SplitJoinAndTabsBehaveAsTheCommandsNeed) {
  const std::vector<std::pair<std::string, Lines>> splits = {
      {"\"a,b\",c", {"a,b", "c"}},
      {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
      {"\"abc", {"abc"}},
      {"\"a\tb, c", {"a\tb, c"}},  // unclosed: every character of the rest kept
      {"", {}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"a,", {"a"}},
      {"\"ab\"cd", {"ab", "cd"}},
      {" a , b ", {" a ", " b "}},
      {"a\t\t,\tb", {"a", "b"}},
      {"\t\ta", {"a"}},
  };
  for (const auto& [line, fields] : splits) EXPECT_EQ(SplitFields(line), fields) << line;

  const std::vector<std::pair<Lines, std::string>> joins = {
      {{"a b", "c"}, "\"a b\",c"},
      {{""}, "\"\""},
      {{"x", ""}, "x,"},
      {{}, ""},
      {{"", "", ""}, ",,"},
  };
  for (const auto& [fields, line] : joins) EXPECT_EQ(JoinFields(fields), line) << line;

  Lines tabbed = {"a\t\t\tb", "\tx", "p q,r", "\"u\"\tv w"};
  TabsToCommas(tabbed);
  EXPECT_EQ(tabbed, (Lines{"a,,,b", ",x", "\"p q\",r", "u,\"v w\""}));
}

TEST_F(CsvTest, EachCommandShowsItsBusyTextAndRecordsItsStep) {
  struct Case {
    void (*command)(Editor&);
    const char* busy;  // empty: no busy panel
    const char* step;
    bool changes_document;
  };
  const Case cases[] = {
      {SortCsvBySyllabary, "指定されたキーで五十音順に並べ替えています…",
       "[カンマ区切りテキストの五十音順並べ替え],0", true},
      {SortCsvByLength, "指定されたキーで長さ順に並べ替えています…",
       "[カンマ区切りテキストの長さ順並べ替え],0", true},
      {TransposeCsv, "行と列を入れ替えています…", "[カンマ区切りテキストの行と列を入れ替える]", true},
      {CsvToTextTable, "カンマ区切りテキストをテキスト表に変換しています…",
       "[カンマ区切りテキストをテキスト表に変換する]", true},
      {CopyForSpreadsheet, "", "[Excel に貼り付けられる形式でコピー]", false},
  };
  for (const Case& c : cases) {
    Load({"b,1", "a,2"});
    editor.record_buffer.clear();
    editor.modified = false;
    host.busy_messages.clear();
    host.key_fields = {0};
    c.command(editor);
    host.key_fields.clear();
    EXPECT_EQ(host.busy_messages, (Utf8{c.busy})) << c.step;
    EXPECT_EQ(Recorded(), (Utf8{c.step}));
    EXPECT_EQ(editor.modified, c.changes_document) << c.step;  // the undo snapshot
  }
  EXPECT_EQ(host.commands_started, host.commands_ended);

  // On an empty document none of them asks, records or copies anything.
  editor.doc.SetLines({});
  editor.record_buffer.clear();
  host.clipboard = "kept";
  for (const Case& c : cases) c.command(editor);
  EXPECT_TRUE(host.key_dialog_captions.size() == 2u);
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストの行と列を入れ替える]",
                              "[カンマ区切りテキストをテキスト表に変換する]"}));
  EXPECT_EQ(host.clipboard, "kept");
}

TEST_F(CsvTest, KeySortBySyllabaryAndByLength) {
  Load({"b,2", "a,3", "c,1"});
  host.key_fields.push_back(1);
  SortCsvBySyllabary(editor);
  EXPECT_EQ(Text(), (Utf8{"c,1", "b,2", "a,3"}));
  EXPECT_EQ(host.key_dialog_captions, (Utf8{"カンマ区切りテキストの五十音順並べ替え"}));

  Load({"bb,x", "a,y"});
  host.key_fields.push_back(0);
  SortCsvByLength(editor);
  EXPECT_EQ(Text(), (Utf8{"a,y", "bb,x"}));
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストの五十音順並べ替え],1",
                              "[カンマ区切りテキストの長さ順並べ替え],0"}));
}

TEST_F(CsvTest, ShortRecordsArePaddedAndEqualKeysKeepTheirOrder) {
  Load({"b,c", "a"});
  host.key_fields.push_back(1);
  SortCsvBySyllabary(editor);
  EXPECT_EQ(Text(), (Utf8{"a,", "b,c"}));

  // Letter case is folded, so these compare equal and stay in place.
  for (const Utf8& lines : {Utf8{"A,1", "a,1"}, Utf8{"a,1", "A,1"}}) {
    Load(lines);
    host.key_fields.push_back(1);
    SortCsvBySyllabary(editor);
    EXPECT_EQ(Text(), lines);
  }
}

// Keys that agree far past their first bytes are made twice; the records
// padded while making them come back once each.
TEST_F(CsvTest, PaddedRecordsWhoseKeysTieLongComeBackOnce) {
  const std::string stem(40, 'z');
  Load({"x," + stem + "2", stem + "1", "y," + stem + "1", stem + "0"});
  host.key_fields.push_back(1);
  SortCsvBySyllabary(editor);
  EXPECT_EQ(Text(), (Utf8{stem + "0,", stem + "1,", "y," + stem + "1", "x," + stem + "2"}));
}

TEST_F(CsvTest, LengthSortKeepsARecordOfOneEmptyField) {
  Load({"bb", "\"\"", "a"});
  host.key_fields.push_back(0);
  SortCsvByLength(editor);
  EXPECT_EQ(Text(), (Utf8{"\"\"", "a", "bb"}));
}

TEST_F(CsvTest, SortIsAPermutationOrderedByTheKey) {
  std::mt19937 random(3);
  Utf8 lines;
  for (int i = 0; i < 200; ++i) {
    lines.push_back(std::to_string(random() % 50) + "," + std::string(random() % 5 + 1, 'x'));
  }
  Load(lines);
  host.key_fields.push_back(1);
  SortCsvByLength(editor);
  Utf8 sorted = Text();
  EXPECT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), lines.begin()));
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    EXPECT_LE(sorted[i - 1].size() - sorted[i - 1].find(','),
              sorted[i].size() - sorted[i].find(','));
  }
}

TEST_F(CsvTest, NoKeyMeansNoSortButTheTabConversionStays) {
  Load({"b\tx", "a\ty"});
  host.key_fields.push_back(std::nullopt);
  SortCsvBySyllabary(editor);
  EXPECT_EQ(Text(), (Utf8{"b,x", "a,y"}));
  EXPECT_TRUE(Recorded().empty());

  Play({"063", "-1"});
  SortCsvBySyllabary(editor);
  EXPECT_EQ(Text(), (Utf8{"b,x", "a,y"}));
  EXPECT_TRUE(Recorded().empty());

  Load({"", "b", "a"});  // a first line without fields
  editor.step_params.clear();
  SortCsvBySyllabary(editor);
  EXPECT_EQ(Text(), (Utf8{"", "b", "a"}));
  EXPECT_TRUE(host.key_dialog_captions.size() == 1);
}

TEST_F(CsvTest, AFindThatMatchedNothingLeavesTheKeySortsNothingToAskAbout) {
  // The key dialog would take its fields from the first line, and there is none.
  for (void (*sort)(Editor&) : {SortCsvBySyllabary, SortCsvByLength, SortCsvByNumber}) {
    Load({"b,x", "a\ty"});
    FindRows(editor, "zzz", SearchMode::kPlain, false);
    ASSERT_EQ(editor.doc.SelectedCount(), 0u);
    sort(editor);
    EXPECT_EQ(Text(), (Utf8{"b,x", "a\ty"}));
    EXPECT_TRUE(host.key_dialog_captions.empty());
  }
}

TEST_F(CsvTest, PlayedKeyIsLoweredToTheLastFieldAndAskedUnderAtAll) {
  Load({"b,2", "a,3"});
  Play({"063", "5"});
  SortCsvBySyllabary(editor);
  EXPECT_EQ(Text(), (Utf8{"b,2", "a,3"}));
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストの五十音順並べ替え],1"}));

  Play({"063", "@1st"});
  host.inputs.push_back("0");
  SortCsvBySyllabary(editor);
  EXPECT_EQ(Text(), (Utf8{"a,3", "b,2"}));
  EXPECT_EQ(host.prompts, (Utf8{"並び替えに使うキーの番号は？（0～）"}));
  EXPECT_EQ(editor.step_params[1], "0");
  EXPECT_TRUE(host.key_dialog_captions.empty());
}

TEST_F(CsvTest, TransposeFillsMissingCellsWithEmptyFields) {
  Load({"a,b,c", "1,2"});
  TransposeCsv(editor);
  EXPECT_EQ(Text(), (Utf8{"a,1", "b,2", "c,"}));
  Load({"x,y,z"});
  TransposeCsv(editor);
  EXPECT_EQ(Text(), (Utf8{"x", "y", "z"}));
  Load({"a,,c", "1\t2\t3"});
  TransposeCsv(editor);
  EXPECT_EQ(Text(), (Utf8{"a,1", ",2", "c,3"}));
  EXPECT_EQ(Recorded().front(), "[カンマ区切りテキストの行と列を入れ替える]");
}

TEST_F(CsvTest, TransposeTwiceIsIdentityOnFullRectangles) {
  std::mt19937 random(5);
  Utf8 lines;
  const std::string cells[] = {"a", "b c", "\"q\"", "あ", "1,2", "表"};
  for (int r = 0; r < 7; ++r) {
    Lines fields;
    for (int c = 0; c < 4; ++c) fields.push_back(Sjis(cells[random() % std::size(cells)]));
    lines.push_back(SjisToUtf8(JoinFields(fields)));
  }
  Load(lines);
  TransposeCsv(editor);
  EXPECT_EQ(Text().size(), 4u);
  TransposeCsv(editor);
  EXPECT_EQ(Text(), lines);
}

TEST_F(CsvTest, TransposeRefusesMoreThan16384Lines) {
  Load(Utf8(16385, "a\tb"));
  TransposeCsv(editor);
  EXPECT_EQ(host.MessageTexts(), (Utf8{"処理能力を超えた広さを持っています。"}));
  EXPECT_EQ(Text().size(), 16385u);
  EXPECT_EQ(Text().front(), "a,b");
}

TEST_F(CsvTest, TextTableDrawsBoxesAndRightAlignsIntegers) {
  Load({"ab,1", "c,100"});
  CsvToTextTable(editor);
  EXPECT_EQ(Text(), (Utf8{"┏━┳━━┓", "┃ab┃   1┃", "┣━╋━━┫", "┃c ┃ 100┃", "┗━┻━━┛"}));
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストをテキスト表に変換する]"}));

  Load({"abc,x", ""});
  CsvToTextTable(editor);
  EXPECT_EQ(Text(), (Utf8{"┏━━┳━┓", "┃abc ┃x ┃", "┣━━╋━┫", "┃    ┃  ┃", "┗━━┻━┛"}));
}

TEST_F(CsvTest, TextTableRefusesMoreThan1000ColumnsAndChangesNothing) {
  std::string wide = "x";
  for (int i = 0; i < 1000; ++i) wide += ",x";
  // A refusal leaves a gapped selection where it was (no gathering).
  Load({"a", "m", wide}, {0, 2});
  CsvToTextTable(editor);
  EXPECT_EQ(Text(), (Utf8{"a", "m", wide}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 2}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kError);
}

TEST_F(CsvTest, SpreadsheetCopyUsesTabsAndLeavesTheDocument) {
  Load({"\"a,b\",c", "x,,\"\"", "\"\""});
  CopyForSpreadsheet(editor);
  EXPECT_EQ(SjisToUtf8(host.clipboard), "\"a,b\"\tc\r\nx\t\t\r\n\"\"\r\n");
  EXPECT_EQ(Recorded(), (Utf8{"[Excel に貼り付けられる形式でコピー]"}));
  EXPECT_FALSE(editor.modified);

  Load({"a,b", "c", "d"}, {0, 2});
  editor.selection_style = SelectionStyle::kStandard;
  CopyForSpreadsheet(editor);
  EXPECT_EQ(host.clipboard, "a\tb\r\nd\r\n");
  Load({"a,b", "c"}, {1});
  CopyForSpreadsheet(editor);
  EXPECT_EQ(host.clipboard, "a\tb\r\nc\r\n");
}

}  // namespace
}  // namespace parvane

namespace parvane {
namespace {

using CsvNumberTest = LineCommandsTest;

TEST_F(CsvNumberTest, NumbersByValueThenOtherKeysInSyllabaryOrder) {
  struct Case {
    const char* what;
    std::vector<std::string> input, expected;
  };
  const std::vector<Case> cases = {
      {"integers", {"a,10", "b,9", "c,100"}, {"b,9", "a,10", "c,100"}},
      {"signs and fractions", {"a,1.5", "b,-2", "c,1.25", "d,0", "e,-0.5"},
       {"b,-2", "e,-0.5", "d,0", "c,1.25", "a,1.5"}},
      // The record comes back joined again: a field with a blank is quoted.
      {"full-width and blanks", {"a, ２０", "b,３", "c,－１"}, {"c,－１", "b,３", "a,\" ２０\""}},
      {"equal values keep their order", {"a,01", "b,1", "c,1.0"}, {"a,01", "b,1", "c,1.0"}},
      {"non-numbers after, in syllabary order", {"a,か", "b,2", "c,あ", "d,x1", "e,"},
       {"b,2", "e,", "d,x1", "c,あ", "a,か"}},
      {"very long numbers", {"a," + std::string(30, '9'), "b,1" + std::string(30, '0')},
       {"a," + std::string(30, '9'), "b,1" + std::string(30, '0')}},
      {"short records padded", {"y,b,z", "x", "w,1"}, {"w,1", "x,", "y,b,z"}},
  };
  for (const Case& c : cases) {
    Load(c.input);
    host.key_fields.push_back(1);
    SortCsvByNumber(editor);
    EXPECT_EQ(Text(), c.expected) << c.what;
  }
  EXPECT_EQ(host.key_dialog_captions.back(), "カンマ区切りテキストの数値順並べ替え");
  EXPECT_EQ(Recorded().back(), "[カンマ区切りテキストの数値順並べ替え],1");
  EXPECT_EQ(host.busy_messages.back(), "指定されたキーで数値順に並べ替えています…");
}

TEST_F(CsvNumberTest, PlayedKeyNeedsNoDialogAndNoKeyMeansNoSort) {
  Load({"b\t3", "a\t20"});
  Play({"075", "9"});
  SortCsvByNumber(editor);
  // Lowered to the last field of the first line; the tabs became commas.
  EXPECT_EQ(Text(), (Utf8{"b,3", "a,20"}));
  EXPECT_TRUE(host.key_dialog_captions.empty());
  editor.step_params.clear();
  Load({"2", "1"});
  host.key_fields.push_back(std::nullopt);
  SortCsvByNumber(editor);
  EXPECT_EQ(Text(), (Utf8{"2", "1"}));
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストの数値順並べ替え],1"}));
}

}  // namespace
}  // namespace parvane
