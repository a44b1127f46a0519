// Unicode files through the document and back, byte for byte, with Python's
// codecs as the independent encoder: every kind of character in every
// Unicode form the program writes.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "chars/python_oracle.h"
#include "codes/text_file.h"
#include "codes/unicode.h"

namespace parvane {
namespace {

struct Case {
  const char* kind;
  std::u32string text;  // every line ends with CR LF
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"BMP outside code page 932", U"caf\u00E9 \u00DF \u20AC \uD55C\uAD6D\uC5B4 \u7B80\u4F53\r\n"},
      {"beyond the BMP", U"\U0001F600 \U00020BB7\u91CE\u5BB6 \U0001D11E\r\n"},
      {"combining", U"e\u0301 \u304B\u3099 a\u0308\u0323\r\n"},
      {"ZWJ sequences", U"\U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F3F3\uFE0F\u200D\U0001F308\r\n"},
      {"private use", U"\uE000\uE757\uE758\uF8FF \U000F0000\U0010FFFD\r\n"},
      {"U+FEFF inside", U"a\uFEFFb\r\n\uFEFF\r\n"},
      {"U+FEFF first", U"\uFEFF\u3042\r\n"},
      {"best-fit alone", U"\u301C\u2016\u2212\u2014\u00A2\u00A3\u00AC\u00A5\u203E\r\n"},
      {"best-fit with its twin", U"\u301C\uFF5E \u2212\uFF0D \u00A5\\ \u203E~\r\n"},
      {"Japanese only", U"\u65E5\u672C\u8A9E\u3001\uFF76\uFF85\r\n"},
      {"NUL and controls", std::u32string(U"a\0b\x1B\x7F\r\n", 7)},
      {"empty", U""},
  };
  return cases;
}

constexpr SaveCode kForms[] = {SaveCode::kUtf8, SaveCode::kUtf8NoBom, SaveCode::kUtf16,
                               SaveCode::kUtf16Be};

// For each text (code points in hexadecimal, one text per line), the bytes of
// each form in kForms order, in hexadecimal, one per line.
constexpr char kEncoder[] = R"(
import sys
for line in sys.stdin.read().split('\n'):
    if line == '':
        continue
    text = ''.join(chr(int(h, 16)) for h in line.split(' ')[1:])
    for data in (text.encode('utf-8-sig'), text.encode('utf-8'),
                 b'\xff\xfe' + text.encode('utf-16-le'), b'\xfe\xff' + text.encode('utf-16-be')):
        print(data.hex())
)";

std::string FromHex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

// Random texts over every kind of character, lines of up to 12.
std::vector<std::u32string> RandomTexts(int count) {
  const std::vector<std::pair<char32_t, char32_t>> ranges = {
      {0x20, 0x7E},   {0xA0, 0x2FF},      {0x300, 0x36F},     {0x3040, 0x30FF},
      {0x4E00, 0x9FFF}, {0xE000, 0xF8FF}, {0xFE00, 0xFFFD},   {0x2000, 0x2BFF},
      {0xFF61, 0xFF9F}, {0x1F300, 0x1FAFF}, {0x20000, 0x2A6DF}, {0xF0000, 0xF00FF},
  };
  std::mt19937 rng(932);
  std::vector<std::u32string> texts;
  for (int t = 0; t < count; ++t) {
    std::u32string text;
    const int length = 1 + static_cast<int>(rng() % 60);
    for (int k = 0; k < length; ++k) {
      if (rng() % 10 == 0) {
        text += U"\r\n";
        continue;
      }
      auto [lo, hi] = ranges[rng() % ranges.size()];
      text += static_cast<char32_t>(lo + rng() % (hi - lo + 1));
    }
    texts.push_back(text + U"\r\n");
  }
  return texts;
}

TEST(UnicodeRoundTrip, EveryKindInEveryFormComesBackByteForByte) {
  if (!HavePython()) GTEST_SKIP() << "no python3 for the oracle";
  std::vector<std::string> names;
  std::vector<std::u32string> texts;
  for (const Case& c : Cases()) {
    names.push_back(c.kind);
    texts.push_back(c.text);
  }
  int n = 0;
  for (const std::u32string& text : RandomTexts(300)) {
    names.push_back("random " + std::to_string(n++));
    texts.push_back(text);
  }
  std::ostringstream input;
  for (const std::u32string& text : texts) {
    input << "t";
    for (char32_t ch : text) input << ' ' << std::hex << static_cast<unsigned long>(ch);
    input << '\n';
  }
  std::optional<std::string> out = RunPython(kEncoder, input.str());
  ASSERT_TRUE(out.has_value());
  std::istringstream lines(*out);
  for (std::size_t t = 0; t < texts.size(); ++t) {
    for (SaveCode form : kForms) {
      std::string hex;
      ASSERT_TRUE(std::getline(lines, hex)) << names[t];
      const std::string bytes = FromHex(hex);
      DecodedFile d = DecodeFileBytes(bytes, false, true);
      EXPECT_EQ(d.unmapped_count, 0u) << names[t];
      // Without a multi-byte sequence BOM-less UTF-8 is read as Shift_JIS
      // text, which it then is; with a leading U+FEFF it is read as UTF-8
      // with a mark, which it then is.
      if (form == SaveCode::kUtf16) {
        // The document holds exactly the file's characters.
        std::u16string expected;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
          expected += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8);
        }
        EXPECT_EQ(d.codes.ToUtf16(d.text), expected) << names[t];
      }
      const SaveCode written = d.detected_code;
      ASSERT_EQ(EncodeForSave(d.text, written, &d.codes), bytes)
          << names[t] << " in form " << static_cast<int>(form);
    }
  }
}

// A command changes only what it changes: reversing the lines of a file
// gives the file of the reversed lines.
TEST(UnicodeRoundTrip, ReversedLinesAreTheReversedFile) {
  const std::u16string lines[] = {u"\U0001F600a", u"e\u0301\uFEFF", u"\u301C\uFF5E", u"\uE000x"};
  std::u16string forward, backward;
  for (const std::u16string& line : lines) forward += line + u"\r\n";
  for (int i = 3; i >= 0; --i) backward += lines[i] + u"\r\n";
  DecodedFile d = DecodeFileBytes(WriteUtf16LeBytes(forward), false, true);
  std::vector<std::string> split;
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < d.text.size(); ++i) {
    if (d.text[i] == '\r' && d.text[i + 1] == '\n') {
      split.push_back(d.text.substr(start, i - start));
      start = i + 2;
    }
  }
  ASSERT_EQ(split.size(), 4u);
  std::vector<std::string> reversed(split.rbegin(), split.rend());
  std::string bytes;
  EncodeLinesForSave(reversed, SaveCode::kUtf16, &d.codes, [&bytes](std::string_view piece) {
    bytes += piece;
    return true;
  });
  EXPECT_EQ(bytes, WriteUtf16LeBytes(backward));
}

}  // namespace
}  // namespace parvane
