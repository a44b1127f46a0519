// The frame's moving of collected lines (the command-line tool's mode): the
// result is the same as with copies, and a refusal still leaves the document
// as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "support/scripted_host.h"

namespace parvane {
namespace {

class FrameMoveTest : public ::testing::Test {
 protected:
  void Load(std::vector<std::string> lines) { editor.doc.SetLines(std::move(lines)); }

  // Reverses the working lines, as a command that only reorders them;
  // remembers the first row's text as the document shows it meanwhile.
  void Reverse() {
    CommandFrame frame(editor, "busy", {.line_growth = 0});
    shown_during = editor.doc.line(0);
    std::reverse(editor.work_lines.begin(), editor.work_lines.end());
  }

  // Doubles every working line without saying it might.
  void Double() {
    CommandFrame frame(editor, "busy");
    shown_during = editor.doc.line(0);
    for (std::string& line : editor.work_lines) line += line;
  }

  ScriptedHost host;
  Editor editor{host};
  std::string shown_during;
};

TEST_F(FrameMoveTest, MovedLinesComeBackAsTheResultOfTheWholeDocument) {
  editor.move_collected_lines = true;
  Load({"one", "two", "three"});
  Reverse();
  EXPECT_EQ(shown_during, "");  // moved out, not copied
  EXPECT_EQ(editor.doc.lines(), (Lines{"three", "two", "one"}));
  EXPECT_TRUE(editor.work_lines.empty());
}

TEST_F(FrameMoveTest, MovedSelectedLinesLandAsOneBlockAtTheFirstSelectedRow) {
  editor.move_collected_lines = true;
  Load({"a", "b", "c", "d", "e"});
  editor.doc.Select(1, true);
  editor.doc.Select(3, true);
  Reverse();
  EXPECT_EQ(editor.doc.lines(), (Lines{"a", "d", "b", "c", "e"}));
  EXPECT_TRUE(editor.doc.IsSelected(1));
  EXPECT_TRUE(editor.doc.IsSelected(2));
  EXPECT_EQ(editor.doc.SelectedCount(), 2u);
}

TEST_F(FrameMoveTest, ALineAlreadyOverTheLimitIsCopiedSoTheRefusalKeepsTheDocument) {
  editor.move_collected_lines = true;
  editor.max_line_length = 3;
  Load({"abcd", "ab"});
  Reverse();
  EXPECT_EQ(shown_during, "abcd");
  EXPECT_EQ(editor.doc.lines(), (Lines{"abcd", "ab"}));
  ASSERT_EQ(host.messages.size(), 1u);
}

TEST_F(FrameMoveTest, ACommandWhoseLinesMayGrowIsGivenCopies) {
  editor.move_collected_lines = true;
  editor.max_line_length = 3;
  Load({"ab", "c"});
  Double();
  EXPECT_EQ(shown_during, "ab");
  EXPECT_EQ(editor.doc.lines(), (Lines{"ab", "c"}));  // "abab" was refused
}

TEST_F(FrameMoveTest, AStatedGrowthMovesOnlyLinesThatStayWithinTheLimit) {
  editor.move_collected_lines = true;
  editor.max_line_length = 4;
  auto add_two = [this] {
    CommandFrame frame(editor, "busy", {.line_growth = 2});
    shown_during = editor.doc.line(0);
    for (std::string& line : editor.work_lines) line += "++";
  };
  Load({"ab", "c"});
  add_two();
  EXPECT_EQ(shown_during, "");
  EXPECT_EQ(editor.doc.lines(), (Lines{"ab++", "c++"}));
  Load({"abc", "c"});
  add_two();
  EXPECT_EQ(shown_during, "abc");
  EXPECT_EQ(editor.doc.lines(), (Lines{"abc", "c"}));  // "abc++" was refused
}

TEST_F(FrameMoveTest, WithoutTheModeTheDocumentKeepsItsTextDuringTheCommand) {
  Load({"one", "two"});
  Reverse();
  EXPECT_EQ(shown_during, "one");
  EXPECT_EQ(editor.doc.lines(), (Lines{"two", "one"}));
}

}  // namespace
}  // namespace parvane

namespace parvane {
namespace {

// The store path of the same mode: a reordering, or a command whose growth
// keeps every line within the limit, takes the document's index whole; a
// refusal never leaves the document short.
TEST_F(FrameMoveTest, TheStorePathMovesTheWholeIndexOnlyWhenNothingCanBeRefused) {
  struct Case {
    std::vector<std::string> lines;
    std::size_t limit;
    std::size_t growth;
    bool taken;  // the document was empty while the command ran
    std::vector<std::string> result;
  } cases[] = {
      {{"one", "two", "three"}, 100, 0, true, {"three", "two", "one"}},
      {{"abcd", "ab"}, 3, 0, false, {"abcd", "ab"}},  // refused: already too long
      {{"ab", "c"}, 100, 2, true, {"c", "ab"}},        // grows, but stays within the limit
      {{"ab", "c"}, 3, 2, false, {"c", "ab"}},         // may grow past it: views, not moved
      {{"ab", "c"}, 100, kUnknownGrowth, false, {"c", "ab"}},  // no bound
  };
  for (const Case& c : cases) {
    editor.move_collected_lines = true;
    editor.max_line_length = c.limit;
    Load(c.lines);
    bool empty_during = false;
    {
      CommandFrame frame(editor, "busy", {.line_growth = c.growth, .use_store = true});
      empty_during = editor.doc.empty();
      std::reverse(editor.work_store.views().begin(), editor.work_store.views().end());
    }
    EXPECT_EQ(empty_during, c.taken) << c.lines[0];
    EXPECT_TRUE(editor.doc.lines() == c.result) << c.lines[0];
  }
}

}  // namespace
}  // namespace parvane
