// The Host of parvane-cli: no screen. Answers come from --answer, in order;
// messages a person would see go to standard error as UTF-8.
#ifndef PARVANE_CLI_CLI_HOST_H_
#define PARVANE_CLI_CLI_HOST_H_

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "editor/host.h"

namespace parvane {

class CliHost : public Host {
 public:
  // answers are UTF-8; err receives the messages.
  CliHost(std::vector<std::string> answers, std::FILE* err);

  // The name put before every message ("" for none): the input being processed.
  void set_subject(std::string subject) {
    FlushRepeats();
    subject_ = std::move(subject);
  }

  // Writes one message line to standard error: "parvane-cli: SUBJECT: text".
  // text is UTF-8; CR LF inside becomes a line break. A message that repeats
  // the one before it is counted instead of written; the count is written
  // as "... (the message above N more times)" before the next different
  // message, by FlushRepeats, or by the destructor.
  void Report(std::string_view utf8_text);
  void FlushRepeats();
  ~CliHost() override;

  // A question that cannot be answered throws PlaybackAborted (playback.h):
  // nothing may be guessed for a person who is not there.
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) override;
  Answer Message(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
  std::optional<std::filesystem::path> OpenFileDialog(const FileDialogSpec& dialog) override;
  std::optional<std::filesystem::path> SaveFileDialog(const FileDialogSpec& dialog) override;
  std::string ClipboardText() override { return clipboard_; }
  void SetClipboardText(std::string_view text) override { clipboard_ = std::string(text); }
  void CommandStarted(std::string_view) override {}
  void Progress(int) override {}
  void CommandEnded() override {}
  void ShowRemovedLines(Editor&) override {}
  std::optional<int> ChooseKeyField(std::string_view caption, const Lines& fields) override;

 private:
  // Takes the next answer, or throws PlaybackAborted naming the question.
  std::string NextAnswer(std::string_view question_utf8);
  // The terminal's UTF-8 and the document's Shift_JIS, through its table.
  std::string ToUtf8(std::string_view sjis) const;
  std::string FromUtf8(std::string_view utf8);

  std::deque<std::string> answers_;
  std::FILE* err_;
  std::string subject_;
  std::string clipboard_;  // a run's own clipboard: cut and paste work within one run
  std::string last_line_;  // the last message line written
  long repeats_ = 0;       // how many times last_line_ came again since
};

}  // namespace parvane

#endif  // PARVANE_CLI_CLI_HOST_H_
