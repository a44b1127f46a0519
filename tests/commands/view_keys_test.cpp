#include "commands/view_keys.h"

#include <gtest/gtest.h>

#include "commands/line_commands_fixture.h"

namespace parvane {
namespace {

using ViewKeysTest = LineCommandsTest;

TEST_F(ViewKeysTest, EnterInsertsAnEmptyLineBeforeTheCurrentRow) {
  Load({"a", "b"});
  editor.doc.set_current_row(1);
  InsertEmptyLine(editor);
  EXPECT_EQ(Text(), (Utf8{"a", "", "b"}));
  EXPECT_EQ(editor.doc.current_row(), 2);
  EXPECT_TRUE(editor.modified);

  editor.selection_style = SelectionStyle::kStandard;
  InsertEmptyLine(editor);
  EXPECT_EQ(Text(), (Utf8{"a", "", "", "b"}));
  EXPECT_EQ(editor.doc.current_row(), 2);
  EXPECT_TRUE(Recorded().empty());

  // An empty document has no current row: the line goes to the top.
  Load({});
  InsertEmptyLine(editor);
  EXPECT_EQ(Text(), (Utf8{""}));
}

TEST_F(ViewKeysTest, ArrowsShiftOnlySelectedLinesByOneSpace) {
  Load({" a", "  b", "c"});
  editor.selection_style = SelectionStyle::kStandard;
  AddLeadingSpace(editor);  // nothing selected
  EXPECT_EQ(Text(), (Utf8{" a", "  b", "c"}));

  Load({" a", "  b", "c"}, {1, 2});
  RemoveLeadingSpace(editor);
  EXPECT_EQ(Text(), (Utf8{" a", " b", "c"}));
  AddLeadingSpace(editor);
  EXPECT_EQ(Text(), (Utf8{" a", "  b", " c"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 2}));
  EXPECT_TRUE(Recorded().empty());
}

// The keys edit rows in place: the person's one row stays the person's (the
// next command still takes the whole document), a find's rows stay a find's.
TEST_F(ViewKeysTest, TheKeysLeaveTheSelectionAsItWas) {
  for (bool from_find : {false, true}) {
    Load({"a", "b", "c"}, {1});
    editor.doc.set_selection_is_result(from_find);
    AddLeadingSpace(editor);
    RemoveLeadingSpace(editor);
    AddLeadingSpace(editor);
    EXPECT_EQ(Text(), (Utf8{"a", " b", "c"}));
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{1}));
    EXPECT_EQ(editor.doc.selection_is_result(), from_find);
  }
}

TEST_F(ViewKeysTest, FileInformationText) {
  EXPECT_FALSE(FileInformation(editor).has_value());
  Load({"ab", "あいう", "xyz"});
  const std::string expected =
      "無題    \r\n\r\n"
      "　文字数 = 14    \r\n"
      "　サイズ = 17    \r\n"
      "　総行数 = 3    \r\n"
      "　最も長い行の行番号 = 2    \r\n"
      "　 … あいう    \r\n"
      "　最も長い行のサイズ = 6    \r\n"
      "　最も長い行の文字数 = 3    \r\n"
      "　文字コード = Shift_JIS    \r\n"
      "　改行コード = CR+LF    \r\n";
  EXPECT_EQ(SjisToUtf8(*FileInformation(editor)), expected);
  editor.save_code = SaveCode::kUtf8NoBom;
  editor.line_ending.kind = LineBreak::kLf;
  const std::string info = SjisToUtf8(*FileInformation(editor));
  EXPECT_NE(info.find("　文字コード = Unicode (UTF-8 BOM なし)    \r\n"
                      "　改行コード = LF    \r\n"),
            std::string::npos)
      << info;
}

TEST_F(ViewKeysTest, LongestLineExcerpt) {
  auto excerpt_line = [&](const Utf8& lines) {
    Load(lines);
    std::string info = SjisToUtf8(*FileInformation(editor));
    std::size_t from = info.find("… ") + std::string("… ").size();
    return info.substr(from, info.find("    \r\n", from) - from);
  };
  const std::string b63(63, 'b');
  EXPECT_EQ(excerpt_line({b63 + "c"}), b63 + "...");
  EXPECT_EQ(excerpt_line({b63}), b63);
  // A two-byte character across the 63rd byte is left out whole.
  const std::string a62(62, 'a');
  EXPECT_EQ(excerpt_line({a62 + "あ"}), a62 + "...");
  // Equal greatest lengths: the first is reported.
  Load({"x", "abc", "def"});
  EXPECT_NE(SjisToUtf8(*FileInformation(editor)).find("行番号 = 2    "), std::string::npos);
}

}  // namespace
}  // namespace parvane
