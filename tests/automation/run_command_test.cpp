// The dispatcher: every table command records itself under its own entry
// and asks its entry's prompts, and the running step never outlives a run.
#include "automation/run_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "commands/find_replace.h"
#include "commands/removed_lines.h"
#include "commands/sorting.h"
#include "editor/fields.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Runs entry as the person would from the menu, answering every question it
// asks: the document has duplicates, every row is selected (so a find runs
// as it is), the clipboard holds a line and the removed-lines window copies.
struct Recorded {
  Lines steps;                       // record_buffer afterwards
  std::vector<std::string> prompts;  // input box prompts and open dialog titles, UTF-8
  bool still_running = false;        // a running step was left behind
};

// With played set, the step plays with "@all" for every parameter instead.
Recorded RunAnswering(const CommandEntry& entry, const std::filesystem::path& file,
                      bool played = false) {
  ScriptedHost host;
  host.strict = false;
  host.clipboard = "x\r\n";
  host.key_fields = {0};
  host.on_removed_lines = [](Editor& e) { RemovedLinesCopy(e); };
  for (const ParamSpec& p : entry.params) {
    switch (p.kind) {
      case ParamKind::kText: host.inputs.push_back("a"); break;
      case ParamKind::kNumber: host.inputs.push_back("1"); break;
      case ParamKind::kFile: host.open_files.push_back(file); break;
      case ParamKind::kChoice: break;
    }
  }
  host.answers = {Answer::kYes, Answer::kYes};  // a preview's confirmation
  Editor editor(host);
  editor.doc.SetLines({"a,b", "a,b", "c,d"});
  editor.doc.SelectAll();
  if (played) {
    editor.step_params = {CodeText(entry.code)};
    editor.step_params.resize(8, "@all");
  }
  RunCommand(editor, entry);
  editor.step_params.clear();
  Recorded r{editor.record_buffer, host.prompts, editor.running_step() != nullptr};
  for (const FileDialogSpec& d : host.open_dialogs) r.prompts.push_back(SjisToUtf8(d.title));
  return r;
}

TEST(RunCommandTest, EveryEntryRecordsOneStepOfItsOwnNameAndParameters) {
  TempDir dir;
  const std::filesystem::path file = WriteBytes(dir / "m.txt", "m\r\n");
  for (const CommandEntry& entry : CommandTable()) {
    if (entry.operation == nullptr) continue;
    SCOPED_TRACE(entry.name_utf8);
    const Recorded r = RunAnswering(entry, file);
    EXPECT_FALSE(r.still_running);
    ASSERT_EQ(r.steps.size(), 1u);
    // A name alone is written as it is, even the one that holds a space.
    const Lines fields = entry.params.empty() ? Lines{r.steps[0]} : SplitFields(r.steps[0]);
    EXPECT_EQ(fields.front(), entry.name);
    EXPECT_EQ(fields.size() - 1, entry.params.size());
    // Whatever was asked is one of the entry's own prompts.
    for (const std::string& prompt : r.prompts) {
      EXPECT_TRUE(std::any_of(entry.params.begin(), entry.params.end(), [&](const ParamSpec& p) {
        return !p.prompt.empty() && SjisToUtf8(p.prompt) == prompt;
      })) << prompt;
    }
  }
}

TEST(RunCommandTest, AStepThatAsksEveryTimeAsksEachOfItsEntrysPromptsInOrder) {
  TempDir dir;
  const std::filesystem::path file = WriteBytes(dir / "m.txt", "m\r\n");
  for (const CommandEntry& entry : CommandTable()) {
    if (entry.operation == nullptr) continue;
    SCOPED_TRACE(entry.name_utf8);
    std::vector<std::string> expected;
    for (const ParamSpec& p : entry.params) {
      if (p.kind != ParamKind::kChoice) expected.push_back(SjisToUtf8(p.prompt));
    }
    const Recorded r = RunAnswering(entry, file, true);
    EXPECT_EQ(r.prompts, expected);
    EXPECT_FALSE(r.still_running);
    ASSERT_EQ(r.steps.size(), 1u);
    EXPECT_EQ(SplitFields(r.steps[0]).front(), entry.name);
  }
}

TEST(RunCommandTest, PromptsAndTheirFirstTextComeFromTheEntry) {
  // A preview command, an input with a first text, and a plain text, each
  // asked from the menu; every one is what the table says.
  const struct {
    int code;
    std::vector<std::string> inputs;
    std::vector<std::string> prompts;
    std::vector<std::string> initial_texts;
  } cases[] = {
      {55, {"2", "X"}, {"半角何文字目に挿入しますか？", "行中に追加する文字列は？"}, {"0", ""}},
      {53, {"1"}, {"行頭から半角何文字分を削りますか？"}, {""}},
      {62, {"a", "b"}, {"正規表現検索する文字列は？", "置換後の文字列は？"}, {"", ""}},
      {58, {"3"}, {"何文字で折り返しますか？"}, {""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    ScriptedHost host;
    for (const std::string& input : c.inputs) host.inputs.push_back(input);
    host.answers = {Answer::kYes};
    Editor editor(host);
    editor.doc.SetLines({"abc", "def"});
    RunCommand(editor, *CommandByCode(c.code));
    EXPECT_EQ(host.prompts, c.prompts);
    EXPECT_EQ(host.initial_texts, c.initial_texts);
  }
}

TEST(RunCommandTest, TheRunningStepEndsWithTheRunHoweverItEnds) {
  ScriptedHost host;
  Editor editor(host);
  editor.doc.SetLines({"a", "b"});
  editor.doc.SelectAll();
  // A bad pattern throws out of the command.
  host.inputs = {"("};
  EXPECT_THROW(RunCommand(editor, *CommandByCode(60)), std::runtime_error);
  EXPECT_EQ(editor.running_step(), nullptr);
  EXPECT_EQ(editor.record_buffer, (Lines{Sjis("[正規表現検索],(")}));
  // Called past the dispatcher, a command has no step to record.
  ReverseLines(editor);
  EXPECT_EQ(editor.record_buffer.size(), 1u);
  EXPECT_EQ(editor.doc.lines(), (Lines{"b", "a"}));
}

TEST(RunCommandTest, AStepThatRunsAnotherRecordsEachUnderItsOwnName) {
  // A find with one row selected selects every row first, as a step of its
  // own; the find's step is then its own again.
  ScriptedHost host;
  host.inputs = {"b"};
  Editor editor(host);
  editor.doc.SetLines({"a", "b", "ab"});
  RunCommand(editor, *CommandByCode(59));
  EXPECT_EQ(Utf8Lines(editor.record_buffer),
            (std::vector<std::string>{"[すべて選択]", "[検索],b"}));
  EXPECT_EQ(editor.doc.SelectedRows(), (std::vector<std::size_t>{1, 2}));
  // Outside the table, work runs under the entry it names.
  RunAsCommand(editor, *CommandByCode(61),
               [&] { ReplaceInLines(editor, "b", "c", SearchMode::kPlain, false); });
  EXPECT_EQ(Utf8Lines(editor.record_buffer).back(), "[置換],b,c");
  EXPECT_EQ(editor.running_step(), nullptr);
}

}  // namespace
}  // namespace parvane
