// The one rule by which every command reads a parameter: ask when not
// playing, "@all" and "@1st" in any case, or the step's own value; what is
// asked is the running step's own parameter.
#include "editor/step_params.h"

#include <gtest/gtest.h>

#include "editor/files.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

class ParamsTest : public ::testing::Test {
 protected:
  void Play(std::string item) { editor.step_params = {"053", std::move(item)}; }
  ScriptedHost host;
  Editor editor{host};
  const StepSpec step{Sjis("[t]"), {{ParamKind::kNumber, Sjis("何文字？"), "2", "n"}}};
  RunningStep running{editor, step, nullptr};
};

TEST_F(ParamsTest, NumberFromTheStepOrFromTheAnswer) {
  struct Case {
    const char* item;                   // parameter 1 of the step
    std::optional<std::string> answer;  // what the person types, if asked
    std::optional<long> value;          // what the command gets
    const char* item_after;             // parameter 1 afterwards
  };
  const Case cases[] = {
      {"3", {}, 3, "3"},
      {"0003", {}, 3, "0003"},
      {"-2", {}, -2, "-2"},
      // Step values are decimal: anything else counts as 0.
      {"abc", {}, 0, "abc"},
      {"$10", {}, 0, "$10"},
      {"0x10", {}, 0, "0x10"},
      {"", {}, 0, ""},
      {"@all", "4", 4, "@all"},
      {"@ALL", "4", 4, "@ALL"},
      {"@all", std::nullopt, std::nullopt, "@all"},
      {"@1st", "5", 5, "5"},
      {"@1ST", "5", 5, "5"},
      // The answer is stored in decimal, whatever form the person used.
      {"@1st", "$10", 16, "16"},
      {"@1st", "x", 0, "0"},
      {"@1st", std::nullopt, std::nullopt, "@1st"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    Play(c.item);
    host.prompts.clear();
    if (c.answer || std::string_view(c.item).starts_with("@")) host.inputs = {c.answer};
    EXPECT_EQ(NumberParam(editor, 1), c.value);
    EXPECT_EQ(host.prompts.size(), std::string_view(c.item).starts_with("@") ? 1u : 0u);
    EXPECT_EQ(editor.step_params.at(1), c.item_after);
  }
}

TEST_F(ParamsTest, TextFromTheStepOrFromTheAnswer) {
  struct Case {
    const char* item;
    std::optional<std::string> answer;
    std::optional<std::string> value;  // nullopt: the command is abandoned
    const char* item_after;
  };
  const Case cases[] = {
      {"a b", {}, "a b", "a b"},
      {"@ALL", "x", "x", "@ALL"},
      {"@1st", "x,y", "x,y", "x,y"},
      // An empty text abandons the command, from the step or from the person.
      {"", {}, std::nullopt, ""},
      {"@all", "", std::nullopt, "@all"},
      {"@1st", "", std::nullopt, "@1st"},
      {"@1st", std::nullopt, std::nullopt, "@1st"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    Play(c.item);
    if (std::string_view(c.item).starts_with("@")) host.inputs = {c.answer};
    EXPECT_EQ(TextParam(editor, 1), c.value);
    EXPECT_EQ(editor.step_params.at(1), c.item_after);
  }
}

TEST_F(ParamsTest, NotPlayingAlwaysAsksAndAMissingItemCountsAsAll) {
  host.inputs = {"7", "8"};
  EXPECT_EQ(NumberParam(editor, 1), 7);
  EXPECT_TRUE(editor.step_params.empty());
  editor.step_params = {"053"};
  EXPECT_EQ(NumberParam(editor, 1), 8);
  EXPECT_EQ(host.prompts, (std::vector<std::string>{"何文字？", "何文字？"}));
  EXPECT_EQ(host.initial_texts, (std::vector<std::string>{"2", "2"}));
}

TEST_F(ParamsTest, AParameterTheRunningStepLacksOrNoRunningStepAsksWithoutAPrompt) {
  host.inputs = {"x", "y"};
  EXPECT_EQ(TextParam(editor, 3), "x");
  {
    Editor bare(host);
    EXPECT_EQ(TextParam(bare, 1), "y");
  }
  EXPECT_EQ(host.prompts, (std::vector<std::string>{"", ""}));
}

TEST_F(ParamsTest, FileFromTheStepMustExist) {
  const StepSpec file_step{Sjis("[f]"), {{ParamKind::kFile, Sjis("開く"), "", "f"}}};
  RunningStep file_running(editor, file_step, nullptr);
  TempDir dir;
  const auto file = WriteBytes(dir / "t.txt", "a=b\r\n");
  editor.step_params = {"071", PathToSjis(file)};
  EXPECT_EQ(FileParam(editor, 1, {}), file);
  editor.step_params = {"071", PathToSjis(dir / "missing.txt")};
  EXPECT_EQ(FileParam(editor, 1, {}), std::nullopt);
  editor.step_params = {"071", PathToSjis(dir.path())};  // a folder is no file
  EXPECT_EQ(FileParam(editor, 1, {}), std::nullopt);
  EXPECT_TRUE(host.open_dialogs.empty());

  editor.step_params = {"071", "@1st"};
  host.open_files = {file};
  FileDialogSpec dialog;
  dialog.filter = "*.txt";
  EXPECT_EQ(FileParam(editor, 1, dialog), file);
  EXPECT_EQ(editor.step_params.at(1), PathToSjis(file));
  ASSERT_EQ(host.open_dialogs.size(), 1u);
  // The title is the parameter's prompt; the rest is the caller's.
  EXPECT_EQ(host.open_dialogs[0].title, Sjis("開く"));
  EXPECT_EQ(host.open_dialogs[0].filter, "*.txt");
}

}  // namespace
}  // namespace parvane
