// HTTP escape and Base64, checked against Python's urllib.parse and base64 on
// random bytes; the encoder commands; the garbled-text repair.
#include "chars/encoders.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "automation/playback.h"
#include "automation/run_command.h"
#include "chars/base64.h"
#include "chars/garbled_repair.h"
#include "chars/http_escape.h"
#include "python_oracle.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string h;
  for (unsigned char c : bytes) {
    h += digits[c >> 4];
    h += digits[c & 15];
  }
  return h;
}

std::vector<std::string> RandomLines(unsigned seed, int count) {
  std::mt19937 random(seed);
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    std::string line(random() % 40, '\0');
    for (char& c : line) c = static_cast<char>(random() % 256);
    lines.push_back(line);
  }
  return lines;
}

TEST(HttpEscapeTest, Examples) {
  EXPECT_EQ(ToHttpEscape("a b&c"), "a+b%26c");
  EXPECT_EQ(ToHttpEscape(Sjis("あ")), "%82%A0");
  EXPECT_EQ(ToHttpEscape("!$'()*-.@_~%+\t"), "!$'()*-.@_%7E%25%2B%09");
  std::string out, bad;
  ASSERT_TRUE(FromHttpEscape("100%%", &out, &bad));
  EXPECT_EQ(out, "100%");
  ASSERT_TRUE(FromHttpEscape("%41+%62%e3", &out, &bad));
  EXPECT_EQ(out, "A b\xE3");
}

TEST(HttpEscapeTest, BadEscapesNameTheirCharacters) {
  std::string out, bad;
  EXPECT_FALSE(FromHttpEscape("ab%4G", &out, &bad));
  EXPECT_EQ(bad, "$4G");
  EXPECT_FALSE(FromHttpEscape("ab%4", &out, &bad));
  EXPECT_EQ(bad, "$4");
  EXPECT_FALSE(FromHttpEscape("%", &out, &bad));
  EXPECT_EQ(bad, "$");
}

TEST(HttpEscapeTest, AgreesWithPythonOnRandomBytes) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const auto lines = RandomLines(7, 2000);
  std::string input;
  for (const auto& line : lines) input += Hex(line) + "\n";
  // Python leaves "~" alone; this system escapes it.
  auto output = RunPython(R"py(
import sys, urllib.parse
for row in sys.stdin.read().split('\n')[:-1]:
    print(urllib.parse.quote_plus(bytes.fromhex(row), safe="!$'()*@").replace('~', '%7E'))
)py",
                          input);
  ASSERT_TRUE(output.has_value());
  std::size_t start = 0;
  for (const auto& line : lines) {
    const std::size_t end = output->find('\n', start);
    ASSERT_NE(end, std::string::npos);
    const std::string encoded = ToHttpEscape(line);
    ASSERT_EQ(encoded, output->substr(start, end - start)) << Hex(line);
    std::string decoded, bad;
    ASSERT_TRUE(FromHttpEscape(encoded, &decoded, &bad));
    ASSERT_EQ(decoded, line);
    start = end + 1;
  }
}

TEST(Base64Test, PaddingAndDecodingRules) {
  EXPECT_EQ(ToBase64(""), "");
  EXPECT_EQ(ToBase64("A"), "QQ==");
  EXPECT_EQ(ToBase64("AB"), "QUI=");
  EXPECT_EQ(ToBase64("ABC"), "QUJD");
  std::string out;
  ASSERT_TRUE(FromBase64("QUJD", &out));
  EXPECT_EQ(out, "ABC");
  ASSERT_TRUE(FromBase64("QQ==QUI=", &out));
  EXPECT_EQ(out, "AAB");
  ASSERT_TRUE(FromBase64("", &out));
  EXPECT_EQ(out, "");
  ASSERT_TRUE(FromBase64("CQ0K", &out));  // TAB CR LF pass the guard
  EXPECT_EQ(out, "\t\r\n");
  EXPECT_FALSE(FromBase64("AQ==", &out));  // 0x01
  EXPECT_FALSE(FromBase64("Gw==", &out));  // ESC
  EXPECT_FALSE(FromBase64("QUJ", &out));   // incomplete group
  EXPECT_FALSE(FromBase64("QU*D", &out));  // outside the alphabet
  EXPECT_FALSE(FromBase64("Q===", &out));  // padding too early
  EXPECT_FALSE(FromBase64("QQ=A", &out));  // padding inside a group
  EXPECT_FALSE(FromBase64(Sjis("漢字"), &out));
  EXPECT_FALSE(FromBase64("QUJD" + Sjis("あ"), &out));
}

TEST(Base64Test, AgreesWithPythonOnRandomBytes) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const auto lines = RandomLines(11, 2000);
  std::string input;
  for (const auto& line : lines) input += Hex(line) + "\n";
  auto output = RunPython(R"py(
import sys, base64
for row in sys.stdin.read().split('\n')[:-1]:
    print(base64.b64encode(bytes.fromhex(row)).decode())
)py",
                          input);
  ASSERT_TRUE(output.has_value());
  std::size_t start = 0;
  for (const auto& line : lines) {
    const std::size_t end = output->find('\n', start);
    ASSERT_NE(end, std::string::npos);
    const std::string encoded = ToBase64(line);
    ASSERT_EQ(encoded, output->substr(start, end - start)) << Hex(line);
    std::string decoded;
    const bool guarded =
        line.find_first_of(std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x0B\x0C\x0E"
                                       "\x0F\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A"
                                       "\x1B\x1C\x1D\x1E\x1F",
                                       29)) != std::string::npos;
    ASSERT_EQ(FromBase64(encoded, &decoded), !guarded) << Hex(line);
    if (!guarded) {
      ASSERT_EQ(decoded, line);
    }
    start = end + 1;
  }
}

// Every line of up to seven characters over letters, '/', the padding, CR
// and a character outside the alphabet, against a Python decoder of the same
// rules (groups of four once CR and LF are gone, padding only as "xx==" or
// "xxx=", no guarded control character in the result).
TEST(Base64Test, DecodingAgreesWithPythonOnEveryShortLine) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const std::string alphabet = "Qz/=\r*";
  std::vector<std::string> lines;
  std::string input;
  for (std::size_t length = 0; length <= 7; ++length) {
    std::size_t count = 1;
    for (std::size_t k = 0; k < length; ++k) count *= alphabet.size();
    for (std::size_t code = 0; code < count; ++code) {
      std::string line;
      for (std::size_t k = 0, c = code; k < length; ++k, c /= alphabet.size()) {
        line += alphabet[c % alphabet.size()];
      }
      lines.push_back(line);
      input += Hex(line) + "\n";
    }
  }
  auto output = RunPython(R"py(
import base64, re, sys
group = re.compile(rb'[A-Za-z0-9+/]{2}(?:==|[A-Za-z0-9+/]=|[A-Za-z0-9+/]{2})\Z')
guarded = set(range(32)) - {9, 10, 13}
out = []
for row in sys.stdin.read().split('\n')[:-1]:
    text = bytes.fromhex(row).replace(b'\r', b'').replace(b'\n', b'')
    groups = [text[i:i + 4] for i in range(0, len(text), 4)]
    if len(text) % 4 or not all(group.match(g) for g in groups):
        out.append('-')
        continue
    decoded = b''.join(base64.b64decode(g) for g in groups)
    out.append('-' if guarded & set(decoded) else decoded.hex())
print('\n'.join(out))
)py",
                          input);
  ASSERT_TRUE(output.has_value());
  std::size_t start = 0;
  std::size_t decoded_lines = 0;
  for (const std::string& line : lines) {
    const std::size_t end = output->find('\n', start);
    ASSERT_NE(end, std::string::npos);
    const std::string expected = output->substr(start, end - start);
    std::string decoded;
    const bool ok = FromBase64(line, &decoded);
    ASSERT_EQ(ok ? Hex(decoded) : "-", expected) << Hex(line);
    decoded_lines += ok;
    start = end + 1;
  }
  EXPECT_GT(decoded_lines, 100u);
}

// --- the commands ---

class EncoderCommandTest : public ::testing::Test {
 protected:
  std::vector<std::string> Run(void (*command)(Editor&), const Lines& lines) {
    editor_.doc.SetLines(lines);
    RunOperation(editor_, command);
    return Utf8Lines(editor_.doc.lines());
  }
  ScriptedHost host_;
  Editor editor_{host_};
};

TEST_F(EncoderCommandTest, EncodersRecordTheirSteps) {
  EXPECT_EQ(Run(EncodeHttpEscape, {"a b", Sjis("あ")}),
            (std::vector<std::string>{"a+b", "%82%A0"}));
  EXPECT_EQ(Run(DecodeHttpEscape, {"a+b", "%82%A0"}), (std::vector<std::string>{"a b", "あ"}));
  EXPECT_EQ(Run(EncodeBase64, {"A", "AB", ""}), (std::vector<std::string>{"QQ==", "QUI=", ""}));
  EXPECT_EQ(Run(DecodeBase64, {"QQ==", "AQ==", Sjis("漢"), "QUJ"}),
            (std::vector<std::string>{"A", "AQ==", "漢", "QUJ"}));
  EXPECT_EQ(Utf8Lines(editor_.record_buffer),
            (std::vector<std::string>{"[HTTPエスケープ形式にエンコードする]",
                                      "[HTTPエスケープ形式をデコードする]",
                                      "[Base64形式にエンコードする]", "[Base64形式をデコードする]"}));
  EXPECT_EQ(host_.busy_messages,
            (std::vector<std::string>{
                "HTTPエスケープ文字列に変換しています…", "HTTPエスケープ文字列を元に戻しています…",
                "Base64形式文字列に変換しています…", "Base64形式文字列を元に戻しています…"}));
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(EncoderCommandTest, RecordedStepsPlayBack) {
  const Lines original = {"a b&c", Sjis("あ"), ""};
  Run(EncodeHttpEscape, original);
  const Lines escaped = editor_.doc.lines().ToStrings();
  RunOperation(editor_, EncodeBase64);
  const Lines encoded = editor_.doc.lines().ToStrings();
  RunOperation(editor_, DecodeBase64);
  RunOperation(editor_, DecodeHttpEscape);
  EXPECT_EQ(editor_.doc.lines(), original);
  ASSERT_EQ(editor_.record_buffer.size(), 4u);

  // The first two steps played on the original give what they gave by hand;
  // all four give the original back.
  Lines steps(editor_.record_buffer.begin(), editor_.record_buffer.begin() + 2);
  editor_.doc.SetLines(original);
  PlaySteps(editor_, steps);
  EXPECT_EQ(steps[0].substr(0, 4), "077,");
  EXPECT_EQ(steps[1].substr(0, 4), "079,");
  EXPECT_EQ(editor_.doc.lines(), encoded);
  EXPECT_NE(escaped, encoded);
  steps = editor_.record_buffer;
  steps.resize(4);
  editor_.doc.SetLines(original);
  PlaySteps(editor_, steps);
  EXPECT_EQ(editor_.doc.lines(), original);
}

TEST_F(EncoderCommandTest, BadEscapeStopsAtItsLine) {
  EXPECT_EQ(Run(DecodeHttpEscape, {"%41", "x%4G", "%42", "%43"}),
            (std::vector<std::string>{"A", "x%4G", "%42", "%43"}));
  EXPECT_EQ(host_.MessageTexts(), (std::vector<std::string>{"'$4G' は整数ではありません"}));
  EXPECT_EQ(host_.commands_started, host_.commands_ended);
}

TEST_F(EncoderCommandTest, DecodedLineBreaksMakeLines) {
  // "a\r\nb" and "c\n"
  EXPECT_EQ(Run(DecodeBase64, {"x", "YQ0KYg==", "Ywo=", "y"}),
            (std::vector<std::string>{"x", "a", "b", "c", "y"}));
  EXPECT_EQ(Run(DecodeHttpEscape, {"%0D%0A", "z"}), (std::vector<std::string>{"", "z"}));
}

TEST_F(EncoderCommandTest, SelectedLinesOnly) {
  editor_.doc.SetLines({"A", "A", "A", "A"});
  editor_.doc.Select(1, true);
  editor_.doc.Select(2, true);
  RunOperation(editor_, EncodeBase64);
  EXPECT_EQ(Utf8Lines(editor_.doc.lines()), (std::vector<std::string>{"A", "QQ==", "QQ==", "A"}));
}

TEST_F(EncoderCommandTest, TooLongEncodingIsRefused) {
  editor_.max_line_length = 8;
  EXPECT_EQ(Run(EncodeHttpEscape, {"&&&"}), (std::vector<std::string>{"&&&"}));
  EXPECT_EQ(host_.messages.size(), 1u);
}

TEST(GarbledRepairTest, ReencodesAsEucJp) {
  ScriptedHost host;
  Editor editor(host);
  editor.doc.SetLines({"plain ASCII", Sjis("あ"), Sjis("ｱ"), ""});
  RunOperation(editor, RepairGarbledText);
  EXPECT_EQ(editor.doc.lines(), (Lines{"plain ASCII", "\xA4\xA2", "\x8E\xB1", ""}));
  EXPECT_EQ(Utf8Lines(editor.record_buffer),
            (std::vector<std::string>{"[チャットや掲示板で化けた文字を元に戻す]"}));
  EXPECT_EQ(host.busy_messages,
            (std::vector<std::string>{"文字化けを何とかしようと試みています…"}));
}

TEST(GarbledRepairTest, LeadByteAtLineEndKeepsTheLineBreak) {
  ScriptedHost host;
  Editor editor(host);
  Lines lines;
  for (int i = 0; i < 5000; ++i) lines.push_back(i == 4095 ? std::string("x\x82") : "y");
  editor.doc.SetLines(lines);
  RunOperation(editor, RepairGarbledText);
  ASSERT_EQ(editor.doc.size(), 5000u);
  EXPECT_EQ(editor.doc.line(4095), "x\x82");
  EXPECT_EQ(editor.doc.line(4096), "y");
}

}  // namespace
}  // namespace parvane
