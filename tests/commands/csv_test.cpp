#include "commands/csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "automation/run_command.h"
#include "chars/python_oracle.h"
#include "commands/find_replace.h"
#include "commands/line_commands_fixture.h"
#include "editor/fields.h"
#include "text/collation.h"

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
    RunOperation(editor, c.command);
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
  for (const Case& c : cases) RunOperation(editor, c.command);
  EXPECT_TRUE(host.key_dialog_captions.size() == 2u);
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストの行と列を入れ替える]",
                              "[カンマ区切りテキストをテキスト表に変換する]"}));
  EXPECT_EQ(host.clipboard, "kept");
}

TEST_F(CsvTest, KeySortBySyllabaryAndByLength) {
  Load({"b,2", "a,3", "c,1"});
  host.key_fields.push_back(1);
  RunOperation(editor, SortCsvBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"c,1", "b,2", "a,3"}));
  EXPECT_EQ(host.key_dialog_captions, (Utf8{"カンマ区切りテキストの五十音順並べ替え"}));

  Load({"bb,x", "a,y"});
  host.key_fields.push_back(0);
  RunOperation(editor, SortCsvByLength);
  EXPECT_EQ(Text(), (Utf8{"a,y", "bb,x"}));
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストの五十音順並べ替え],1",
                              "[カンマ区切りテキストの長さ順並べ替え],0"}));
}

TEST_F(CsvTest, ShortRecordsArePaddedAndEqualKeysKeepTheirOrder) {
  Load({"b,c", "a"});
  host.key_fields.push_back(1);
  RunOperation(editor, SortCsvBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"a,", "b,c"}));

  // Letter case is folded, so these compare equal and stay in place.
  for (const Utf8& lines : {Utf8{"A,1", "a,1"}, Utf8{"a,1", "A,1"}}) {
    Load(lines);
    host.key_fields.push_back(1);
    RunOperation(editor, SortCsvBySyllabary);
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
  RunOperation(editor, SortCsvByLength);
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
  RunOperation(editor, SortCsvByLength);
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
  RunOperation(editor, SortCsvBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"b,x", "a,y"}));
  EXPECT_TRUE(Recorded().empty());

  Play({"063", "-1"});
  RunOperation(editor, SortCsvBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"b,x", "a,y"}));
  EXPECT_TRUE(Recorded().empty());

  Load({"", "b", "a"});  // a first line without fields
  editor.step_params.clear();
  RunOperation(editor, SortCsvBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"", "b", "a"}));
  EXPECT_TRUE(host.key_dialog_captions.size() == 1);
}

TEST_F(CsvTest, AFindThatMatchedNothingLeavesTheKeySortsNothingToAskAbout) {
  // The key dialog would take its fields from the first line, and there is none.
  for (void (*sort)(Editor&) : {SortCsvBySyllabary, SortCsvByLength, SortCsvByNumber}) {
    Load({"b,x", "a\ty"});
    Find("zzz", SearchMode::kPlain, false);
    ASSERT_EQ(editor.doc.SelectedCount(), 0u);
    RunOperation(editor, sort);
    EXPECT_EQ(Text(), (Utf8{"b,x", "a\ty"}));
    EXPECT_TRUE(host.key_dialog_captions.empty());
  }
}

TEST_F(CsvTest, PlayedKeyIsLoweredToTheLastFieldAndAskedUnderAtAll) {
  Load({"b,2", "a,3"});
  Play({"063", "5"});
  RunOperation(editor, SortCsvBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"b,2", "a,3"}));
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストの五十音順並べ替え],1"}));

  Play({"063", "@1st"});
  host.inputs.push_back("0");
  RunOperation(editor, SortCsvBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"a,3", "b,2"}));
  EXPECT_EQ(host.prompts, (Utf8{"並び替えに使うキーの番号は？（0～）"}));
  EXPECT_EQ(editor.step_params[1], "0");
  EXPECT_TRUE(host.key_dialog_captions.empty());
}

TEST_F(CsvTest, TransposeFillsMissingCellsWithEmptyFields) {
  Load({"a,b,c", "1,2"});
  RunOperation(editor, TransposeCsv);
  EXPECT_EQ(Text(), (Utf8{"a,1", "b,2", "c,"}));
  Load({"x,y,z"});
  RunOperation(editor, TransposeCsv);
  EXPECT_EQ(Text(), (Utf8{"x", "y", "z"}));
  Load({"a,,c", "1\t2\t3"});
  RunOperation(editor, TransposeCsv);
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
  RunOperation(editor, TransposeCsv);
  EXPECT_EQ(Text().size(), 4u);
  RunOperation(editor, TransposeCsv);
  EXPECT_EQ(Text(), lines);
}

TEST_F(CsvTest, TransposeRefusesMoreThan16384Lines) {
  Load(Utf8(16385, "a\tb"));
  RunOperation(editor, TransposeCsv);
  EXPECT_EQ(host.MessageTexts(), (Utf8{"処理能力を超えた広さを持っています。"}));
  EXPECT_EQ(Text().size(), 16385u);
  EXPECT_EQ(Text().front(), "a,b");
}

TEST_F(CsvTest, TextTableDrawsBoxesAndRightAlignsIntegers) {
  Load({"ab,1", "c,100"});
  RunOperation(editor, CsvToTextTable);
  EXPECT_EQ(Text(), (Utf8{"┏━┳━━┓", "┃ab┃   1┃", "┣━╋━━┫", "┃c ┃ 100┃", "┗━┻━━┛"}));
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストをテキスト表に変換する]"}));

  Load({"abc,x", ""});
  RunOperation(editor, CsvToTextTable);
  EXPECT_EQ(Text(), (Utf8{"┏━━┳━┓", "┃abc ┃x ┃", "┣━━╋━┫", "┃    ┃  ┃", "┗━━┻━┛"}));
}

TEST_F(CsvTest, TextTableRefusesMoreThan1000ColumnsAndChangesNothing) {
  std::string wide = "x";
  for (int i = 0; i < 1000; ++i) wide += ",x";
  // A refusal leaves a gapped selection where it was (no gathering).
  Load({"a", "m", wide}, {0, 2});
  RunOperation(editor, CsvToTextTable);
  EXPECT_EQ(Text(), (Utf8{"a", "m", wide}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 2}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kError);
}

TEST_F(CsvTest, SpreadsheetCopyUsesTabsAndLeavesTheDocument) {
  Load({"\"a,b\",c", "x,,\"\"", "\"\""});
  RunOperation(editor, CopyForSpreadsheet);
  EXPECT_EQ(SjisToUtf8(host.clipboard), "\"a,b\"\tc\r\nx\t\t\r\n\"\"\r\n");
  EXPECT_EQ(Recorded(), (Utf8{"[Excel に貼り付けられる形式でコピー]"}));
  EXPECT_FALSE(editor.modified);

  Load({"a,b", "c", "d"}, {0, 2});
  editor.selection_style = SelectionStyle::kStandard;
  RunOperation(editor, CopyForSpreadsheet);
  EXPECT_EQ(host.clipboard, "a\tb\r\nd\r\n");
  Load({"a,b", "c"}, {1});
  RunOperation(editor, CopyForSpreadsheet);
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
    RunOperation(editor, SortCsvByNumber);
    EXPECT_EQ(Text(), c.expected) << c.what;
  }
  EXPECT_EQ(host.key_dialog_captions.back(), "カンマ区切りテキストの数値順並べ替え");
  EXPECT_EQ(Recorded().back(), "[カンマ区切りテキストの数値順並べ替え],1");
  EXPECT_EQ(host.busy_messages.back(), "指定されたキーで数値順に並べ替えています…");
}

TEST_F(CsvNumberTest, PlayedKeyNeedsNoDialogAndNoKeyMeansNoSort) {
  Load({"b\t3", "a\t20"});
  Play({"075", "9"});
  RunOperation(editor, SortCsvByNumber);
  // Lowered to the last field of the first line; the tabs became commas.
  EXPECT_EQ(Text(), (Utf8{"b,3", "a,20"}));
  EXPECT_TRUE(host.key_dialog_captions.empty());
  editor.step_params.clear();
  Load({"2", "1"});
  host.key_fields.push_back(std::nullopt);
  RunOperation(editor, SortCsvByNumber);
  EXPECT_EQ(Text(), (Utf8{"2", "1"}));
  EXPECT_EQ(Recorded(), (Utf8{"[カンマ区切りテキストの数値順並べ替え],1"}));
}

// Keys pieced together from signs, points, blanks and digits of both widths
// (a letter now and then, a run of many digits), more of them than one chunk
// of keys: the numbers must come in the order of Python's decimal values,
// equal values in their former order, and the other keys after them in
// collation order.
TEST_F(CsvNumberTest, NumberOrderAgreesWithPythonDecimals) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  Lines pieces = SjisLines({"", "　", "-", "+", "－", "＋", "0", "00", "1", "9", "12", "０", "９",
                            ".", "．", "5", "50", "x"});
  // Two of these make a number of more whole digits than a count byte holds.
  pieces.push_back(std::string(130, '7'));
  std::mt19937 random(75);
  Lines lines;
  std::string input;
  for (int i = 0; i < 12000; ++i) {
    std::string key;
    for (int n = static_cast<int>(random() % 6); n > 0; --n) key += pieces[random() % pieces.size()];
    lines.push_back("r" + std::to_string(i) + "," + key);
    input += lines.back() + "\n";
  }
  // Prints the numbers' line indexes in order of value, then the others'.
  auto output = RunPython(R"py(
import re, sys
from decimal import Decimal
digit = '[0-9\uff10-\uff19]'
number = re.compile('[ \u3000]*([-+\uff0d\uff0b]?)(%s*)(?:[.\uff0e](%s*))?[ \u3000]*$' % (digit, digit))
wide = str.maketrans('\uff10\uff11\uff12\uff13\uff14\uff15\uff16\uff17\uff18\uff19\uff0d\uff0b',
                     '0123456789-+')
numbers, others = [], []
for i, line in enumerate(sys.stdin.buffer.read().decode('cp932').split('\n')[:-1]):
    key = line.split(',', 1)[1]
    m = number.match(key)
    if m and (m.group(2) or m.group(3)):
        text = (m.group(1) + (m.group(2) or '0') + '.' + (m.group(3) or '0')).translate(wide)
        numbers.append((Decimal(text), i))
    else:
        others.append(i)
numbers.sort(key=lambda n: n[0])
for _, i in numbers:
    print(i)
print('-')
for i in others:
    print(i)
)py",
                          input);
  ASSERT_TRUE(output.has_value());
  Lines expected;
  std::vector<std::pair<std::string, std::string>> others;  // collation key, line
  const JapaneseCollator collator(&editor.private_codes);
  bool numbers = true;
  for (const std::string& row : SplitLines(*output)) {
    if (row == "-") {
      numbers = false;
    } else if (numbers) {
      expected.push_back(lines[std::stoul(row)]);
    } else {
      const std::string& line = lines[std::stoul(row)];
      others.emplace_back(collator.SortKey(line.substr(line.find(',') + 1)), line);
    }
  }
  std::stable_sort(others.begin(), others.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& other : others) expected.push_back(other.second);

  LoadBytes(lines);
  Play({"075", "1"});
  SortCsvByNumber(editor);
  const Lines sorted = editor.doc.lines().ToStrings();
  ASSERT_EQ(sorted.size(), expected.size());
  for (std::size_t i = 0; i < sorted.size(); ++i) ASSERT_EQ(sorted[i], expected[i]) << "row " << i;
}

// Lines that are not plain records (quoted, blank, tabbed, short, with a
// trailing comma, empty) sorted among plain ones: each comes back as its
// fields joined again, padded up to the key.
TEST_F(CsvNumberTest, RecordsThatAreNotPlainAreJoinedAgainAndPadded) {
  Load({"a,3", "\"b\",\"2\"", "c\t1", "d,5,", "", "e", "f, 4 ", "g,\"x,y\"", ",0", "h,-1,z"});
  host.key_fields.push_back(1);
  SortCsvByNumber(editor);
  EXPECT_EQ(Text(), (Utf8{"h,-1,z", ",0", "c,1", "b,2", "a,3", "f,\" 4 \"", "d,5", "", "e,",
                          "g,\"x,y\""}));
}

}  // namespace
}  // namespace parvane
