// Host: everything the core needs from a person or from the platform.
//
// The desktop program, the command-line tool and the tests each implement it.
// Text crosses this interface as Shift_JIS bytes; each Host converts for its
// own side through the document's private codes (private_codes()), so that a
// character outside code page 932 crosses both ways. Message boxes are always captioned with the product name.
#ifndef PARVANE_EDITOR_HOST_H_
#define PARVANE_EDITOR_HOST_H_

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvane {

class Editor;
class PrivateCodes;
using Lines = std::vector<std::string>;

enum class MessageIcon {
  kNone,
  kError,        // refusals and failures
  kWarning,      // the save-changes and discard questions
  kQuestion,     // confirmations
  kInformation,  // results
};

enum class MessageButtons { kOk, kYesNo, kYesNoCancel };

enum class Answer { kOk, kYes, kNo, kCancel };

// What an open or save dialog shows. Texts are Shift_JIS.
struct FileDialogSpec {
  std::string title;              // empty: the platform's default title
  std::string filter;             // "caption|*.ext|caption|*.*" pairs, as in the menus
  std::string default_extension;  // without the dot, e.g. "txt"
  std::filesystem::path initial;  // file name the dialog opens on (may be empty)
};

class Host {
 public:
  virtual ~Host() = default;

  // Asks for one line of text. Returns nullopt when the person cancels.
  virtual std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                              std::string_view initial) = 0;

  // Shows a message box and returns the button pressed (kOk for kOk boxes).
  virtual Answer Message(std::string_view text, MessageIcon icon, MessageButtons buttons) = 0;

  // File dialogs. Return nullopt when cancelled. The save dialog asks before
  // overwriting and refuses read-only targets.
  virtual std::optional<std::filesystem::path> OpenFileDialog(const FileDialogSpec& dialog) = 0;
  virtual std::optional<std::filesystem::path> SaveFileDialog(const FileDialogSpec& dialog) = 0;

  // The clipboard as Shift_JIS text.
  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(std::string_view text) = 0;

  // A command starts: show the busy message (when not empty), make every
  // action that could start another command unreachable, freeze the view.
  virtual void CommandStarted(std::string_view busy_message) = 0;

  // Long work reports progress 0-100 (the core calls this only when the
  // percentage changes); the Host shows the gauge and lets the window repaint.
  // percent < 0 hides the gauge.
  virtual void Progress(int percent) = 0;

  // True when the person asked to stop the running command (the desktop
  // program's "中止" or Esc). Asked only as the gauge moves, so it must be
  // cheap; a Host nobody can interrupt keeps the default.
  virtual bool CancelRequested() { return false; }

  // A find selected count rows (none when nothing matched); the desktop
  // program says so and shows the first. Called inside the find's frame.
  virtual void RowsFound(std::size_t count) { (void)count; }

  // The command ended: the document may have changed entirely; refresh the
  // view, title, record list and status text, and unblock the menus.
  virtual void CommandEnded() = 0;

  // The table of the document whose text crosses this Host (set by the
  // Editor); null: code page 932 alone.
  PrivateCodes* private_codes() const { return private_codes_; }
  void set_private_codes(PrivateCodes* codes) { private_codes_ = codes; }

  // Shows the removed-lines window modally over editor.removed_lines(); its
  // actions call RemovedLinesCopy / RemovedLinesMove / RemovedLinesSave.
  virtual void ShowRemovedLines(Editor& editor) = 0;

  // The key-field dialog of the comma-separated sorts: shows the fields of the
  // first line and returns the 0-based index chosen, or nullopt when closed.
  virtual std::optional<int> ChooseKeyField(std::string_view caption, const Lines& fields) = 0;

 private:
  PrivateCodes* private_codes_ = nullptr;
};

}  // namespace parvane

#endif  // PARVANE_EDITOR_HOST_H_
