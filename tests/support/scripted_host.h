// A Host for tests: answers come from queues, everything shown is recorded.
//
//   ScriptedHost host;
//   host.inputs.push_back("3");            // the next input box answers "3"
//   host.answers.push_back(Answer::kYes);  // the next question answers Yes
//   Editor editor(host);
//   ...
//   EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"一行も削除されませんでした。"}));
//
// A question with no queued answer fails the test and is answered Cancel.
#ifndef PARVANE_TESTS_SUPPORT_SCRIPTED_HOST_H_
#define PARVANE_TESTS_SUPPORT_SCRIPTED_HOST_H_

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/host.h"

namespace parvane {

class ScriptedHost : public Host {
 public:
  struct ShownMessage {
    std::string text;  // UTF-8
    MessageIcon icon;
    MessageButtons buttons;
  };

  // --- queued answers (texts in UTF-8; nullopt cancels) ---
  std::deque<std::optional<std::string>> inputs;
  std::deque<Answer> answers;
  std::deque<std::optional<std::filesystem::path>> open_files;
  std::deque<std::optional<std::filesystem::path>> save_files;
  std::deque<std::optional<int>> key_fields;
  // Runs while the removed-lines window is "open" (may call its actions).
  std::function<void(Editor&)> on_removed_lines;
  // When false, a question without a queued answer does not fail the test.
  bool strict = true;

  // --- what was shown ---
  std::vector<ShownMessage> messages;
  std::vector<std::string> prompts;  // input box prompts, UTF-8
  std::vector<std::string> initial_texts;  // what each input box showed first, UTF-8
  std::vector<FileDialogSpec> open_dialogs, save_dialogs;
  std::vector<std::string> key_dialog_captions;  // UTF-8
  std::vector<std::string> busy_messages;  // UTF-8, one per command
  int commands_started = 0;
  int commands_ended = 0;
  int removed_lines_shown = 0;
  int max_percent = -1;

  // The clipboard (Shift_JIS).
  std::string clipboard;

  // Message texts only, UTF-8.
  std::vector<std::string> MessageTexts() const;

  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) override;
  Answer Message(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
  std::optional<std::filesystem::path> OpenFileDialog(const FileDialogSpec& dialog) override;
  std::optional<std::filesystem::path> SaveFileDialog(const FileDialogSpec& dialog) override;
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(std::string_view text) override { clipboard = std::string(text); }
  void CommandStarted(std::string_view busy_message) override;
  void Progress(int percent) override;
  void CommandEnded() override { ++commands_ended; }
  void ShowRemovedLines(Editor& editor) override;
  std::optional<int> ChooseKeyField(std::string_view caption, const Lines& fields) override;
};

// Shift_JIS lines from UTF-8 literals, and back: tests write Japanese as UTF-8.
Lines SjisLines(const std::vector<std::string>& utf8_lines);
std::vector<std::string> Utf8Lines(const Lines& sjis_lines);
inline std::vector<std::string> Utf8Lines(const LineStore& sjis_lines) {
  return Utf8Lines(sjis_lines.ToStrings());
}

// A fresh empty directory under the system's temporary directory, removed
// when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Sets an environment variable (unsets it for nullopt) for the object's
// lifetime, then puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Writes bytes to a file, making its folders (test set-up); returns the path.
std::filesystem::path WriteBytes(const std::filesystem::path& path, std::string_view bytes);
// Reads a whole file (test check).
std::string ReadBytes(const std::filesystem::path& path);

}  // namespace parvane

#endif  // PARVANE_TESTS_SUPPORT_SCRIPTED_HOST_H_
