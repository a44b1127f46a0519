// The kit routines against the case tables in testdata/: find.tsv (position
// and length), replace.tsv (line and count) and errors.tsv (message, kind
// and the offending token). Each row names its file and line on failure.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "regex/kit.h"
#include "regex/token.h"
#include "text/literal.h"

namespace parvane {
namespace {

struct Row {
  int line;
  std::vector<std::string> fields;
};

// UTF-8 to Shift_JIS, with %HH for a raw byte and %% for a percent sign.
std::string Field(std::string_view text) {
  std::string out;
  std::string pending;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      pending += text[i];
      continue;
    }
    out += Sjis(pending);
    pending.clear();
    if (i + 1 < text.size() && text[i + 1] == '%') {
      out += '%';
      ++i;
    } else {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    }
  }
  return out + Sjis(pending);
}

std::vector<Row> ReadTable(const std::string& name, std::size_t columns) {
  std::ifstream in(std::string(PARVANE_SOURCE_DIR) + "/tests/regex/testdata/" + name);
  EXPECT_TRUE(in) << name;
  std::vector<Row> rows;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    Row row{number, {}};
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      row.fields.push_back(Field(std::string_view(line).substr(start, tab - start)));
    }
    row.fields.push_back(Field(std::string_view(line).substr(start)));
    EXPECT_EQ(row.fields.size(), columns) << name << ":" << number;
    if (row.fields.size() == columns) rows.push_back(std::move(row));
  }
  EXPECT_FALSE(rows.empty()) << name;
  return rows;
}

std::string Where(const std::string& name, const Row& row) {
  return name + ":" + std::to_string(row.line) + " pattern " + testing::PrintToString(row.fields[0]);
}

TEST(RegexTable, Find) {
  for (const Row& row : ReadTable("find.tsv", 5)) {
    const auto& f = row.fields;
    int position = -1;
    int length = -1;
    try {
      RegexFind(f[0], f[1] == "i", f[2], &position, &length);
    } catch (const EbmREToken& e) {
      ADD_FAILURE() << Where("find.tsv", row) << " refused: " << e.what();
      continue;
    }
    EXPECT_EQ(position, std::stoi(f[3])) << Where("find.tsv", row);
    EXPECT_EQ(length, std::stoi(f[4])) << Where("find.tsv", row);
    EXPECT_EQ(RegexContains(f[0], f[1] == "i", f[2]), position >= 1) << Where("find.tsv", row);
  }
}

TEST(RegexTable, Replace) {
  for (const Row& row : ReadTable("replace.tsv", 6)) {
    const auto& f = row.fields;
    const bool ignore_case = f[1].find('i') != std::string::npos;
    std::string line = f[3];
    int count = f[1].find('1') != std::string::npos ? RegexReplaceFirst(f[0], ignore_case, f[2], line)
                                                     : RegexReplaceAll(f[0], ignore_case, f[2], line);
    EXPECT_EQ(line, f[4]) << Where("replace.tsv", row);
    EXPECT_EQ(count, std::stoi(f[5])) << Where("replace.tsv", row);
  }
}

TEST(RegexTable, Errors) {
  for (const Row& row : ReadTable("errors.tsv", 5)) {
    const auto& f = row.fields;
    try {
      RegexFind(f[0], false, "abc", nullptr, nullptr);
      ADD_FAILURE() << Where("errors.tsv", row) << " was accepted";
    } catch (const EbmREToken& e) {
      EXPECT_EQ(std::string(e.what()), f[1]) << Where("errors.tsv", row);
      EXPECT_EQ(e.Kind(), std::stoi(f[2])) << Where("errors.tsv", row);
      EXPECT_EQ(e.Token().StartPos, std::stoi(f[3])) << Where("errors.tsv", row);
      EXPECT_EQ(e.Token().EndPos, std::stoi(f[4])) << Where("errors.tsv", row);
    }
    // A refused pattern leaves the next call free.
    EXPECT_EQ(RegexFind("b", false, "abc", nullptr, nullptr), 2);
  }
}

TEST(RegexTable, ExtendedReplace) {
  for (const Row& row : ReadTable("extended_replace.tsv", 6)) {
    const auto& f = row.fields;
    std::string line = f[3];
    int count = -1;
    try {
      count = RegexReplaceAllExtended(f[0], f[1] == "i", f[2], line);
    } catch (const EbmREToken& e) {
      ADD_FAILURE() << Where("extended_replace.tsv", row) << " refused: " << e.what();
      continue;
    }
    EXPECT_EQ(line, f[4]) << Where("extended_replace.tsv", row);
    EXPECT_EQ(count, std::stoi(f[5])) << Where("extended_replace.tsv", row);
  }
}

TEST(RegexTable, ExtendedErrors) {
  for (const Row& row : ReadTable("extended_errors.tsv", 5)) {
    const auto& f = row.fields;
    try {
      RegexFindExtended(f[0], false, "abc", nullptr, nullptr);
      ADD_FAILURE() << Where("extended_errors.tsv", row) << " was accepted";
    } catch (const EbmREToken& e) {
      EXPECT_EQ(std::string(e.what()), f[1]) << Where("extended_errors.tsv", row);
      EXPECT_EQ(e.Kind(), std::stoi(f[2])) << Where("extended_errors.tsv", row);
      EXPECT_EQ(e.Token().StartPos, std::stoi(f[3])) << Where("extended_errors.tsv", row);
      EXPECT_EQ(e.Token().EndPos, std::stoi(f[4])) << Where("extended_errors.tsv", row);
    }
  }
}

// The present syntax is untouched by the extended one: its stored steps
// keep their meaning.
TEST(RegexTable, PresentSyntaxKeepsItsMeaning) {
  // \d is the letter d and a brace is a character; \1 is the octal escape.
  std::string line = "d{2}(a)";
  EXPECT_EQ(RegexReplaceAll("\\d{2}", false, "X", line), 1);
  EXPECT_EQ(line, "X(a)");
  line = "a";
  EXPECT_EQ(RegexReplaceAll("(a)", false, "\\1", line), 1);
  EXPECT_EQ(line, "\x01");
  EXPECT_EQ(RegexFind("\\d", false, "1d", nullptr, nullptr), 2);
  EXPECT_EQ(RegexFindExtended("\\d", false, "1d", nullptr, nullptr), 1);
}

}  // namespace
}  // namespace parvane
