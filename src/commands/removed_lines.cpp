// The removed-lines list, its actions and the duplicate-command epilogue.
#include "commands/removed_lines.h"

#include <string>
#include <utility>

#include "commands/sorting.h"
#include "editor/files.h"
#include "text/integer.h"
#include "text/literal.h"

namespace parvane {
namespace {

const std::string& CopyChoice() {
  static const std::string kChoice = Sjis("[クリップボードにコピー]");
  return kChoice;
}

const std::string& MoveChoice() {
  static const std::string kChoice = Sjis("[メインウィンドウに移す]");
  return kChoice;
}

// A later action in the same window replaces an earlier one, so the step
// carries at most one choice.
void SetChoice(Editor& editor, const std::string& choice) {
  if (editor.removed_lines_choice) *editor.removed_lines_choice = choice;
}

// The window's choice is open for exactly the epilogue, however it ends.
class ChoiceOpen {
 public:
  explicit ChoiceOpen(Editor& editor) : editor_(editor) { editor_.removed_lines_choice.emplace(); }
  ~ChoiceOpen() { editor_.removed_lines_choice.reset(); }
  ChoiceOpen(const ChoiceOpen&) = delete;
  ChoiceOpen& operator=(const ChoiceOpen&) = delete;

 private:
  Editor& editor_;
};

// Lets the Host redraw what changed outside a command frame (the document, the
// record list). A start paired with its end keeps the Host's count of running
// commands right when this happens inside another one, as in a batch run.
void RefreshHost(Editor& editor) {
  editor.host().CommandStarted({});
  editor.host().CommandEnded();
}

// The played-back choice: 1 copy, 2 move, anything else nothing.
long PlayedChoice(const Editor& editor) {
  if (editor.step_params.size() < 2) return 0;
  const std::string& p = editor.step_params[1];
  if (p == MoveChoice()) return 2;
  if (p == CopyChoice()) return 1;
  return ParseInteger(p).value_or(0);
}

}  // namespace

void SetRemovedLines(Editor& editor, Lines removed) {
  // Only the window, the copy and the move read the list; a played step that
  // neither copies nor moves it would sort it for nobody, at a fifth of the
  // command's time on a large file.
  if (!editor.Playing() || PlayedChoice(editor) != 0) {
    SortLinesByCollation(removed, nullptr, &editor.private_codes);
  }
  editor.removed_lines = std::move(removed);
}

void RemovedLinesCopy(Editor& editor) {
  if (editor.removed_lines.empty()) return;
  SetChoice(editor, CopyChoice());
  editor.host().SetClipboardText(JoinLines(editor.removed_lines));
}

void RemovedLinesMove(Editor& editor) {
  SetChoice(editor, MoveChoice());
  editor.SaveUndo();
  editor.doc.SetLines(editor.removed_lines);
  RefreshHost(editor);
}

bool RemovedLinesSave(Editor& editor, const std::filesystem::path& path) {
  std::string error;
  if (WriteFileAtomically(path, JoinLines(editor.removed_lines), &error)) return true;
  editor.host().Message(PathToSjis(path) + "\r\n" + Sjis(error), MessageIcon::kError,
                        MessageButtons::kOk);
  return false;
}

FileDialogSpec RemovedLinesSaveDialog() {
  FileDialogSpec dialog;
  dialog.filter = Sjis("テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*");
  dialog.default_extension = "txt";
  return dialog;
}

bool RemovedLinesSaveAs(Editor& editor) {
  std::optional<std::filesystem::path> path = editor.host().SaveFileDialog(RemovedLinesSaveDialog());
  if (!path) return false;
  return RemovedLinesSave(editor, *path);
}

void RemovedLinesEpilogue(Editor& editor) {
  static const std::string kNothingRemoved = Sjis("一行も削除されませんでした。");
  ChoiceOpen choice(editor);
  const bool removed = !editor.removed_lines.empty();
  if (!editor.Playing()) {
    if (removed) {
      editor.host().ShowRemovedLines(editor);
    } else {
      editor.host().Message(kNothingRemoved, MessageIcon::kInformation, MessageButtons::kOk);
    }
  } else if (removed) {
    switch (PlayedChoice(editor)) {
      case 1:
        RemovedLinesCopy(editor);
        break;
      case 2:
        RemovedLinesMove(editor);
        break;
      default:
        break;
    }
  }
  Lines params;
  if (!editor.removed_lines_choice->empty()) params.push_back(*editor.removed_lines_choice);
  editor.RecordStep(params);
  // The frame ended before the step was known, so the record list has yet to
  // show it.
  RefreshHost(editor);
}

}  // namespace parvane
