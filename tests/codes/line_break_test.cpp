// Line breaks: which one a file has, and writing it back in every code.
#include "codes/line_break.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codes/text_file.h"
#include "text/literal.h"

namespace parvane {
namespace {

using namespace std::string_literals;

TEST(LineBreak, TheFirstBreakDecides) {
  struct Case {
    std::string text;
    LineBreak kind;
    bool final_break;
  };
  const Case cases[] = {
      {"", LineBreak::kCrLf, true},
      {"abc", LineBreak::kCrLf, false},
      {"a\r\nb\r\n", LineBreak::kCrLf, true},
      {"a\r\nb", LineBreak::kCrLf, false},
      {"a\nb\n", LineBreak::kLf, true},
      {"a\rb\r", LineBreak::kCr, true},
      {"a\r", LineBreak::kCr, true},  // a CR at the very end is no CR LF
      {"\r", LineBreak::kCr, true},
      {"\n\r", LineBreak::kLf, true},
      {"a\rb\r\n", LineBreak::kCr, true},
      {"a\nb\r\n", LineBreak::kLf, true},
      {"a\r\nb\nc\r", LineBreak::kCrLf, true},
      {"a\n\r\n", LineBreak::kLf, true},
  };
  for (const Case& c : cases) {
    LineEnding e = DetectLineEnding(c.text);
    EXPECT_EQ(e.kind, c.kind) << c.text;
    EXPECT_EQ(e.final_break, c.final_break) << c.text;
  }
}

std::string Encode(const std::vector<std::string>& lines, SaveCode code, LineEnding ending) {
  std::string out;
  EncodeLinesForSave(lines, code, nullptr,
                     [&out](std::string_view piece) {
                       out += piece;
                       return true;
                     },
                     ending);
  return out;
}

TEST(LineBreak, EveryCodeWritesTheBreakAndOmitsTheLastWhenAsked) {
  const std::vector<std::string> lines = {"a", Sjis("あ")};
  struct Case {
    SaveCode code;
    LineEnding ending;
    std::string bytes;
  };
  const Case cases[] = {
      {SaveCode::kShiftJis, {LineBreak::kLf, true}, "a\n\x82\xa0\n"},
      {SaveCode::kShiftJis, {LineBreak::kCr, false}, "a\r\x82\xa0"},
      {SaveCode::kShiftJis, {LineBreak::kCrLf, false}, "a\r\n\x82\xa0"},
      {SaveCode::kEucJp, {LineBreak::kLf, false}, "a\n\xa4\xa2"},
      {SaveCode::kJis, {LineBreak::kCr, true}, "a\r\x1b$B$\"\x1b(J\r"},
      {SaveCode::kJis, {LineBreak::kLf, false}, "a\n\x1b$B$\"\x1b(J"},
      {SaveCode::kUtf8, {LineBreak::kLf, false}, "\xef\xbb\xbf" "a\n\xe3\x81\x82"},
      {SaveCode::kUtf8NoBom, {LineBreak::kCrLf, true}, "a\r\n\xe3\x81\x82\r\n"},
      {SaveCode::kUtf16, {LineBreak::kCr, false}, "\xff\xfe" "a\0\r\0\x42\x30"s},
      {SaveCode::kUtf16Be, {LineBreak::kLf, true}, "\xfe\xff\0a\0\n\x30\x42\0\n"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Encode(lines, c.code, c.ending), c.bytes) << static_cast<int>(c.code);
    // Loading the bytes gives the same lines and the same ending back.
    DecodedFile decoded = DecodeFileBytesAs(c.bytes, c.code, false, nullptr);
    EXPECT_EQ(decoded.ending.kind, c.ending.kind) << static_cast<int>(c.code);
    EXPECT_EQ(decoded.ending.final_break, c.ending.final_break) << static_cast<int>(c.code);
  }
  EXPECT_EQ(Encode({}, SaveCode::kShiftJis, {LineBreak::kLf, false}), "");
  EXPECT_EQ(Encode({""}, SaveCode::kShiftJis, {LineBreak::kLf, true}), "\n");
}

TEST(LineBreak, DecodingRemembersTheBreakOfEveryForm) {
  struct Case {
    std::string bytes;
    LineBreak kind;
    bool final_break;
    bool undecided;
  };
  const Case cases[] = {
      {"a\nb", LineBreak::kLf, false, true},
      {"", LineBreak::kCrLf, true, true},
      {"\xa4\xf3\r", LineBreak::kCr, true, false},            // EUC-JP ん
      {"\x1b$B$\"\x1b(B\n", LineBreak::kLf, true, false},     // JIS
      {"\xef\xbb\xbf" "a\rb", LineBreak::kCr, false, false},  // UTF-8 with a mark
      {"\xfe\xff\0a\0\n"s, LineBreak::kLf, true, false},      // UTF-16BE
  };
  for (const Case& c : cases) {
    DecodedFile d = DecodeFileBytes(c.bytes, false, true);
    EXPECT_EQ(d.ending.kind, c.kind) << c.bytes;
    EXPECT_EQ(d.ending.final_break, c.final_break) << c.bytes;
    EXPECT_EQ(d.undecided, c.undecided) << c.bytes;
    DecodedFile owned = DecodeOwnedFileBytes(c.bytes, false, true);
    EXPECT_EQ(owned.ending.kind, c.kind) << c.bytes;
    EXPECT_EQ(owned.ending.final_break, c.final_break) << c.bytes;
  }
}

}  // namespace
}  // namespace parvane
