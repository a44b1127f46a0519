// A fixture for line-command tests: an editor over a scripted Host, with the
// document, the selection and the recording read and written as UTF-8.
#ifndef PARVANE_TESTS_COMMANDS_LINE_COMMANDS_FIXTURE_H_
#define PARVANE_TESTS_COMMANDS_LINE_COMMANDS_FIXTURE_H_

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "automation/run_command.h"
#include "commands/find_replace.h"
#include "editor/editor.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {

class LineCommandsTest : public ::testing::Test {
 protected:
  using Utf8 = std::vector<std::string>;

  // Replaces the document (UTF-8 lines) and selects the given rows.
  void Load(const Utf8& lines, std::initializer_list<std::size_t> selected = {}) {
    editor.doc.SetLines(SjisLines(lines));
    for (std::size_t row : selected) editor.doc.Select(row, true);
  }
  // The document as raw Shift_JIS lines.
  void LoadBytes(const Lines& lines) { editor.doc.SetLines(lines); }

  Utf8 Text() const { return Utf8Lines(editor.doc.lines().ToStrings()); }
  Utf8 Recorded() const { return Utf8Lines(editor.record_buffer); }
  Utf8 Removed() const { return Utf8Lines(editor.removed_lines); }
  std::vector<std::size_t> Selected() const { return editor.doc.SelectedRows(); }

  // Makes the next command run as a played-back step with these parameters
  // (UTF-8; item 0 is the code), the rest filled with "@all".
  void Play(const Utf8& params) {
    editor.step_params = SjisLines(params);
    editor.step_params.resize(8, "@all");
  }

  // The find dialog's buttons: the work runs under the mode's table entry.
  void Find(std::string_view text, SearchMode mode, bool match_case) {
    RunAsCommand(editor, SearchCommand(mode, false),
                 [&] { FindRows(editor, text, mode, match_case); });
  }
  void Replace(std::string_view find, std::string_view with, SearchMode mode, bool match_case) {
    RunAsCommand(editor, SearchCommand(mode, true),
                 [&] { ReplaceInLines(editor, find, with, mode, match_case); });
  }

  ScriptedHost host;
  Editor editor{host};
};

}  // namespace parvane

#endif  // PARVANE_TESTS_COMMANDS_LINE_COMMANDS_FIXTURE_H_
