// The character commands on the command's line store, against the
// conversions applied to the lines directly: random documents, whole or with
// scattered rows selected. A line a command leaves as it was must keep its
// bytes (the same view data), and a conversion table must not keep every
// earlier form of the lines it rewrites.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "automation/run_command.h"
#include "chars/base64.h"
#include "chars/conversion_table.h"
#include "chars/encoders.h"
#include "chars/garbled_repair.h"
#include "chars/http_escape.h"
#include "chars/kind_classes.h"
#include "chars/kind_lines.h"
#include "chars/romaji.h"
#include "codes/jis.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Pieces with rules of their own in some conversion: letters (n for the romaji rules),
// escapes, a backslash, half-width kana with sound marks, kana, full-width
// letters and digits, ソ (trail byte '\'), and a lead byte with no partner
// when it ends a line.
Lines Pieces() {
  Lines pieces = {"a", "N", "n", "n'", "ka", "shi", "7", " ", "%41", "%", "+", "\\", "'", "QUJD",
                  "\x83"};
  for (const char* utf8 : {"ｶ", "ﾞ", "ﾟ", "ｱ", "ア", "ソ", "か", "Ａ", "ｂ", "１", "　", "ン"}) {
    pieces.push_back(Sjis(utf8));
  }
  return pieces;
}

Lines RandomLines(std::mt19937& random, std::size_t count) {
  static const Lines pieces = Pieces();
  std::uniform_int_distribution<std::size_t> length(0, 7);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  Lines lines(count);
  for (std::string& line : lines) {
    for (std::size_t n = length(random); n > 0; --n) line += pieces[piece(random)];
  }
  return lines;
}

using LineRule = std::function<std::string(std::string_view)>;

// Each line converted on its own.
Lines PerLine(const Lines& lines, const LineRule& rule) {
  Lines out;
  for (const std::string& line : lines) out.push_back(rule(line));
  return out;
}

// The lines converted as one text joined with CR LF.
Lines Joined(const Lines& lines, const LineRule& rule) { return SplitLines(rule(JoinLines(lines))); }

struct Case {
  const char* name;
  void (*command)(Editor&);
  std::function<Lines(const Lines&)> expected;
};

std::vector<Case> Cases() {
  auto kind = [](KindMapping m) {
    return [m](const Lines& l) {
      return PerLine(l, [m](std::string_view s) { return ConvertWholeLine(m, s); });
    };
  };
  auto kind_class = [](KindClass k) {
    return [k](const Lines& l) {
      return Joined(l, [k](std::string_view s) { return KindClassConverted(k, s); });
    };
  };
  auto romaji = [](RomajiConversion c) {
    return [c](const Lines& l) {
      return Joined(l, [c](std::string_view s) { return ConvertRomaji(c, s); });
    };
  };
  return {
      {"halfwidth", ConvertToHalfWidth, kind(KindMapping::kHalfWidth)},
      {"fullwidth", ConvertToFullWidth, kind(KindMapping::kFullWidth)},
      {"fullwidth-katakana", KatakanaToFullWidth, kind_class(KindClass::kKatakanaToFullWidth)},
      {"swap-width", SwapWidth, kind_class(KindClass::kSwapWidth)},
      {"from-romaji", RomajiToKatakana, romaji(RomajiConversion::kToKatakana)},
      {"repair-garbled", RepairGarbledText,
       [](const Lines& l) { return Joined(l, [](std::string_view s) { return SjisToEuc(s); }); }},
      {"base64-encode", EncodeBase64,
       [](const Lines& l) { return PerLine(l, [](std::string_view s) { return ToBase64(s); }); }},
      {"base64-decode", DecodeBase64,
       [](const Lines& l) {
         return PerLine(l, [](std::string_view s) {
           std::string out;
           return FromBase64(s, &out) ? out : std::string(s);
         });
       }},
      {"url-encode", EncodeHttpEscape,
       [](const Lines& l) { return PerLine(l, [](std::string_view s) { return ToHttpEscape(s); }); }},
      {"url-decode", DecodeHttpEscape,
       [](const Lines& l) {
         // The first line that does not decode ends the work.
         bool failed = false;
         return PerLine(l, [&failed](std::string_view s) {
           std::string out, bad;
           if (failed || !FromHttpEscape(s, &out, &bad)) {
             failed = true;
             return std::string(s);
           }
           return out;
         });
       }},
  };
}

TEST(StorePathTest, WholeDocumentAndScatteredRowsMatchTheDirectConversion) {
  std::mt19937 random(20261208);
  std::bernoulli_distribution pick(0.3);
  for (const Case& c : Cases()) {
    for (int round = 0; round < 3; ++round) {
      // More lines than a romaji chunk, and once more than a repair block.
      Lines lines = RandomLines(random, round == 0 ? 4500 : 700);
      // A sound mark that begins the first line is the one that converts.
      lines[0].insert(0, Sjis("ﾞ"));
      ScriptedHost host;
      Editor editor(host);
      editor.doc.SetLines(lines);
      const bool whole = round != 2;
      std::vector<std::size_t> rows;
      for (std::size_t i = 0; !whole && i < lines.size(); ++i) {
        if (i == 0 || pick(random)) rows.push_back(i);
      }
      Lines collected;
      for (std::size_t row : rows) {
        editor.doc.Select(row, true);
        collected.push_back(lines[row]);
      }
      Lines result = c.expected(whole ? lines : collected);
      SplitAtLineBreaks(result);
      Lines expected;
      if (whole) {
        expected = result;
      } else {
        // The rows before the first selected one, the result, the other rows.
        expected.assign(lines.begin(), lines.begin() + static_cast<long>(rows.front()));
        expected.insert(expected.end(), result.begin(), result.end());
        for (std::size_t i = rows.front(); i < lines.size(); ++i) {
          if (!std::binary_search(rows.begin(), rows.end(), i)) expected.push_back(lines[i]);
        }
      }
      std::vector<const char*> before;
      for (std::string_view line : editor.doc.lines()) before.push_back(line.data());

      RunOperation(editor, c.command);

      ASSERT_EQ(editor.doc.lines().ToStrings(), expected) << c.name << " round " << round;
      if (whole && expected.size() == lines.size()) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
          if (expected[i] != lines[i] || lines[i].empty()) continue;
          ASSERT_EQ(editor.doc.line(i).data(), before[i]) << c.name << ": line " << i << " copied";
        }
      }
    }
  }
}

// The conversion table's rules applied one after another to every line, as
// strings: the order of work (rule, then line) and its stop at the limit.
// (No two rules below share a search text, so each uses its own replacement.)
bool ReferenceTable(const Lines& table, Lines& lines, std::size_t limit) {
  std::string scratch;
  for (const std::string& table_line : table) {
    std::optional<ConversionRule> rule = ParseConversionRule(table_line);
    for (std::string& line : lines) {
      if (rule) ReplaceIgnoringCase(&line, rule->search, rule->replacement, &scratch, limit);
      if (line.size() > limit) return false;
    }
  }
  return true;
}

TEST(StorePathTest, ConversionTableOnTheStoreMatchesRuleByRuleStrings) {
  std::mt19937 random(71);
  const Lines rules = {"a=",  "n=" + Sjis("ン"), "ka=KA", "\\=" + Sjis("￥"), Sjis("ア") + "=AA",
                       "'=''", "k=a", "x=%\x83", "=skip", "no rule"};
  std::uniform_int_distribution<std::size_t> rule(0, rules.size() - 1);
  for (int round = 0; round < 40; ++round) {
    Lines table;
    for (int k = round % 9; k >= 0; --k) table.push_back(rules[rule(random)]);
    const Lines lines = RandomLines(random, 50);
    const std::size_t limit = round % 4 == 0 ? 12 : std::string::npos;
    Lines expected = lines;
    const bool expected_within = ReferenceTable(table, expected, limit);
    LineStore store = LineStore::FromStrings(lines);
    EXPECT_EQ(ApplyConversionTable(table, store, {}, limit), expected_within) << round;
    EXPECT_EQ(store.ToStrings(), expected) << round;
  }
}

TEST(StorePathTest, ConversionTableKeepsNoPileOfEarlierForms) {
  // Sixty rules that rewrite every byte of a megabyte each time.
  Lines table;
  for (int k = 0; k < 60; ++k) table.push_back(k % 2 == 0 ? "a=b" : "b=a");
  LineStore store = LineStore::FromStrings(Lines(1024, std::string(1024, 'a')));
  ASSERT_TRUE(ApplyConversionTable(table, store));
  EXPECT_EQ(store.ToStrings(), Lines(1024, std::string(1024, 'a')));
  EXPECT_LT(store.HeldBytes(), std::size_t{30} << 20);
}

}  // namespace
}  // namespace parvane
