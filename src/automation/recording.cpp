// Start and end of a recording. The steps themselves are appended by every
// command under its table entry (Editor::RecordStep), recording or not.
#include "automation/recording.h"

#include "automation/pvx_file.h"
#include "editor/files.h"
#include "text/literal.h"

namespace parvane {

FileDialogSpec PvxDialogSpec() {
  FileDialogSpec dialog;
  dialog.filter = Sjis("Parvane 自動処理ファイル (*.pvx)|*.pvx|すべてのファイル (*.*)|*.*");
  dialog.default_extension = "pvx";
  return dialog;
}

void StartRecording(Editor& editor, AutomationState& state) {
  editor.record_buffer.clear();
  state.recording = true;
}

std::optional<std::filesystem::path> EndRecording(Editor& editor, AutomationState& state) {
  Host& host = editor.host();
  std::optional<std::string> title =
      host.InputBox(kProductName, Sjis("この操作の名前は？"), "");
  if (!title || title->empty()) title = Sjis("無題");
  editor.record_buffer.insert(editor.record_buffer.begin(), PvxTitleLine(*title));

  std::optional<std::filesystem::path> written;
  for (;;) {
    // The dialog always opens without a proposed name.
    std::optional<std::filesystem::path> path = host.SaveFileDialog(PvxDialogSpec());
    if (path) {
      std::string error;
      if (WritePvxFile(*path, editor.record_buffer, &error, &editor.private_codes)) {
        written = *path;
        break;
      }
      // Dropping the steps because one target was unwritable would lose the
      // recording; the person chooses another place instead.
      host.Message(Sjis("ファイルを保存できませんでした。\r\n") + PathToSjis(*path) + "\r\n" +
                       Sjis(error),
                   MessageIcon::kError, MessageButtons::kOk);
      continue;
    }
    if (host.Message(Sjis("操作の記録を破棄してよろしいですか？"), MessageIcon::kWarning,
                     MessageButtons::kYesNo) == Answer::kYes) {
      break;
    }
  }
  editor.record_buffer.clear();
  state.recording = false;
  return written;
}

}  // namespace parvane
