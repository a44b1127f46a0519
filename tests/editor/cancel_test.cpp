// Cancelling a command: the frame leaves the document, `modified` and the
// undo history as the command found them.
#include "editor/cancel.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <string>

#include "editor/editor.h"
#include "editor/files.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

// A Host whose person asks to stop after a number of progress reports.
class CancellingHost : public ScriptedHost {
 public:
  int cancel_after = -1;  // reports before the request; -1: never
  int reports = 0;        // gauge values shown (not the hiding)
  int asked = 0;          // CancelRequested calls

  void Progress(int percent) override {
    ScriptedHost::Progress(percent);
    if (percent >= 0) ++reports;
  }
  bool CancelRequested() override {
    ++asked;
    return cancel_after >= 0 && reports >= cancel_after;
  }
};

void Upper(std::string& line) {
  for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// A long command over work_lines that reports every line, as real ones do.
void ShoutSlowly(Editor& editor) {
  CommandFrame frame(editor, Sjis("大きくしています…"));
  const std::size_t n = editor.work_lines.size();
  for (std::size_t i = 0; i < n; ++i) {
    Upper(editor.work_lines[i]);
    editor.Progress(i, n);
  }
}

// The same through the line store and RewriteWorkStore.
void ShoutThroughTheStore(Editor& editor) {
  CommandFrame frame(editor, "busy", {.use_store = true});
  editor.RewriteWorkStore([](std::string_view line, std::string& out) {
    out = line;
    Upper(out);
    return true;
  });
}

// Stores its result first, then goes on working (and reporting).
void StoreThenWork(Editor& editor) {
  CommandFrame frame(editor, "busy");
  for (std::string& line : editor.work_lines) line = "stored";
  frame.Store();
  for (std::size_t i = 0; i < 100; ++i) editor.Progress(i, 100);
}

class CancelTest : public ::testing::Test {
 protected:
  void Load(std::size_t rows) {
    Lines lines;
    for (std::size_t i = 0; i < rows; ++i) lines.push_back("line " + std::to_string(i));
    editor.doc.SetLines(lines);
    before = lines;
  }
  CancellingHost host;
  Editor editor{host};
  Lines before;
};

TEST_F(CancelTest, ACancelledCommandLeavesTheDocumentModifiedAndUndoAsTheyWere) {
  Load(500);
  editor.modified = false;
  host.cancel_after = 10;
  EXPECT_THROW(ShoutSlowly(editor), CommandCancelled);
  EXPECT_EQ(editor.doc.lines(), before);
  EXPECT_FALSE(editor.modified);
  EXPECT_EQ(editor.UndoDepth(), 0u);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_TRUE(editor.work_lines.empty()) << "the work's lines are given back";
  EXPECT_EQ(host.commands_ended, host.commands_started);
  EXPECT_EQ(host.reports, 10) << "it stops at the first report after the request";
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(CancelTest, TheEarlierHistoryAndModifiedStay) {
  Load(300);
  ShoutThroughTheStore(editor);  // one step to undo, document modified
  const Lines shouted = editor.doc.lines().ToStrings();
  ASSERT_NE(shouted, before);
  const std::string name(editor.UndoName());
  host.cancel_after = host.reports + 3;
  EXPECT_THROW(ShoutSlowly(editor), CommandCancelled);
  EXPECT_EQ(editor.doc.lines(), shouted);
  EXPECT_TRUE(editor.modified);
  EXPECT_EQ(editor.UndoDepth(), 1u);
  EXPECT_EQ(editor.UndoName(), name);
  editor.Undo();
  EXPECT_EQ(editor.doc.lines(), before) << "the step before the cancel still undoes";
}

TEST_F(CancelTest, WhatCouldBeRedoneStaysAfterACancelAndGoesAfterACommand) {
  Load(300);
  ShoutThroughTheStore(editor);
  const Lines shouted = editor.doc.lines().ToStrings();
  editor.Undo();
  ASSERT_TRUE(editor.CanRedo());
  host.cancel_after = host.reports + 3;
  EXPECT_THROW(ShoutSlowly(editor), CommandCancelled);
  ASSERT_TRUE(editor.CanRedo()) << "a cancelled command changed nothing, the redo included";
  editor.Redo();
  EXPECT_EQ(editor.doc.lines(), shouted);

  editor.Undo();
  host.cancel_after = -1;
  ShoutSlowly(editor);
  EXPECT_FALSE(editor.CanRedo()) << "a command that ran replaces what could be redone";
  editor.Undo();
  EXPECT_EQ(editor.doc.lines(), before);
}

TEST_F(CancelTest, ACancelThroughTheStoreKeepsTheSelection) {
  Load(400);
  editor.doc.Select(3, true);
  editor.doc.Select(7, true);
  editor.doc.set_current_row(7);
  host.cancel_after = 2;
  EXPECT_THROW(ShoutThroughTheStore(editor), CommandCancelled);
  EXPECT_EQ(editor.doc.lines(), before);
  EXPECT_EQ(editor.doc.SelectedRows(), (std::vector<std::size_t>{3, 7}));
  EXPECT_EQ(editor.doc.current_row(), 7);
  EXPECT_EQ(editor.UndoDepth(), 0u);
}

TEST_F(CancelTest, AResultStoredBeforeTheCancelIsTakenBackToo) {
  Load(5);
  host.cancel_after = 50;
  EXPECT_THROW(StoreThenWork(editor), CommandCancelled);
  EXPECT_EQ(editor.doc.lines(), before);
  EXPECT_FALSE(editor.modified);
  EXPECT_EQ(editor.UndoDepth(), 0u);
}

TEST_F(CancelTest, DuringPlaybackTheRunsSnapshotIsNotTheFramesToDrop) {
  Load(200);
  editor.modified = false;
  editor.SaveUndo(Sjis("自動処理"));  // what PlaySteps does before its steps
  editor.step_params = {"001"};
  host.cancel_after = 1;
  EXPECT_THROW(ShoutSlowly(editor), CommandCancelled);
  editor.step_params.clear();
  EXPECT_EQ(editor.UndoDepth(), 1u);
  EXPECT_EQ(editor.UndoName(), Sjis("自動処理"));
  EXPECT_TRUE(editor.modified) << "the run's own flag; the player puts it back";
  EXPECT_EQ(editor.doc.lines(), before);
}

TEST_F(CancelTest, WithoutUndoModifiedIsStillPutBack) {
  Load(200);
  editor.keep_undo = false;
  editor.modified = false;
  host.cancel_after = 1;
  EXPECT_THROW(ShoutSlowly(editor), CommandCancelled);
  EXPECT_FALSE(editor.modified);
  EXPECT_EQ(editor.doc.lines(), before);
}

TEST_F(CancelTest, TheHostIsAskedOnlyAsTheGaugeMoves) {
  Load(20000);
  ShoutSlowly(editor);
  EXPECT_EQ(host.asked, host.reports);
  EXPECT_LE(host.asked, 100);
  EXPECT_EQ(editor.doc.line(19999), "LINE 19999");
}

TEST(CancelLoading, ALargeFileReportsAsItComesInAndACancelKeepsTheDocument) {
  TempDir dir;
  const auto path = dir / "large.txt";
  {
    std::ofstream out(path, std::ios::binary);
    const std::string line(99, 'x');
    for (int i = 0; i < 400000; ++i) out << line << "\n";  // 40 MB: three pieces
  }
  CancellingHost host;
  Editor editor(host);
  editor.doc.SetLines({"kept"});
  host.cancel_after = 1;
  EXPECT_THROW(LoadDocumentFile(editor, path, false), CommandCancelled);
  EXPECT_TRUE(editor.doc.lines() == (Lines{"kept"}));
  EXPECT_EQ(host.commands_started, host.commands_ended);
  host.cancel_after = -1;
  ASSERT_EQ(LoadDocumentFile(editor, path, false), LoadResult::kLoaded);
  EXPECT_EQ(editor.doc.size(), 400000u);
  EXPECT_GE(host.reports, 3);  // the gauge moved while the file came in
}

}  // namespace
}  // namespace parvane
