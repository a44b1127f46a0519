#include "editor/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>

#include "codes/jis_repertoire.h"
#include "codes/text_file.h"
#include "editor/backup.h"
#include "text/literal.h"

namespace parvane {
namespace {

std::string LowerExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

FileDialogSpec DocumentDialogSpec(const Editor& editor) {
  FileDialogSpec dialog;
  dialog.filter = Sjis(
      "テキストファイル (*.txt)|*.txt|カンマ区切りテキストファイル (*.csv)|*.csv|"
      "リッチテキストファイル (*.rtf)|*.rtf|すべてのファイル (*.*)|*.*");
  dialog.default_extension = "txt";
  dialog.initial = editor.current_file_name;
  return dialog;
}

void ReportFileError(Editor& editor, std::string_view what, const std::filesystem::path& path,
                     const std::string& reason) {
  editor.host().Message(Sjis(std::string(what)) + PathToSjis(path) + "\r\n" + Sjis(reason),
                        MessageIcon::kError, MessageButtons::kOk);
}

}  // namespace

std::string PathToSjis(const std::filesystem::path& path) { return Sjis(path.string()); }

std::filesystem::path SjisToPath(std::string_view sjis) {
  return std::filesystem::path(SjisToUtf8(sjis));
}

bool ReadWholeFile(const std::filesystem::path& path, std::string* bytes, std::string* error,
                   const std::function<void(std::size_t, std::size_t)>& progress) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = std::strerror(errno);
    return false;
  }
  // Closed however the read ends: a progress report may throw (a cancel).
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    *error = std::strerror(EISDIR);
    return false;
  }
  // Read straight into the result. Past the size: one byte for the read that
  // sees the end, two that let the loader add the line break of a last line
  // without moving the whole file.
  const std::size_t expected = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  std::size_t used = 0;
  std::size_t capacity = expected > 0 ? expected + 3 : 1 << 16;
  bytes->resize(capacity);
  // Pieces small enough for the gauge to move (and a cancel to be heard)
  // while a large file comes in.
  constexpr std::size_t kPiece = std::size_t{16} << 20;
  for (;;) {
    if (used == bytes->size()) bytes->resize(bytes->size() * 2);
    const std::size_t room = std::min(bytes->size() - used, kPiece);
    ssize_t n = ::read(fd, bytes->data() + used, room);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = std::strerror(errno);
      bytes->clear();
      return false;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
    if (progress && expected > 0) progress(std::min(used, expected), expected);
  }
  bytes->resize(used);
  bytes->reserve(used + 2);
  return true;
}

bool ReadTextFileLines(const std::filesystem::path& path, Lines* lines, std::string* error,
                       PrivateCodes* codes) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  DecodedFile decoded =
      DecodeOwnedFileBytes(std::move(bytes), LowerExtension(path) == ".rtf", true, codes);
  *lines = SplitLines(decoded.text);
  if (codes != nullptr) *codes = std::move(decoded.codes);
  return true;
}

LoadResult LoadDocumentFile(Editor& editor, const std::filesystem::path& path, bool append,
                            std::optional<SaveCode> from) {
  CommandFrame frame(editor, Sjis("ファイルを開いています…"),
                     {.save_undo = false, .collect = false, .store = false});
  std::string bytes;
  std::string error;
  const auto progress = [&editor](std::size_t done, std::size_t total) {
    editor.Progress(done, total);
  };
  if (!ReadWholeFile(path, &bytes, &error, progress)) {
    ReportFileError(editor, "ファイルを開けませんでした。\r\n", path, error);
    return LoadResult::kFailed;
  }
  const bool is_rtf = LowerExtension(path) == ".rtf";
  // Appended lines join the document's table; a replacing load starts anew.
  const PrivateCodes* codes = append ? &editor.private_codes : nullptr;
  DecodedFile decoded =
      from ? DecodeFileBytesAs(std::move(bytes), *from, is_rtf, codes)
           : DecodeOwnedFileBytes(std::move(bytes), is_rtf, editor.options.detect_utf8, codes);
  // Nothing of the new file is taken over before the question about the
  // modified document: a "yes" saves that one in its own code and break.
  auto take_code = [&editor, &decoded] {
    if (!editor.options.charset_fixed) editor.save_code = decoded.detected_code;
  };
  // The decoded text becomes the store's block: no line is copied.
  LineStore lines = LineStore::FromText(std::move(decoded.text));

  for (std::string_view line : lines) {
    if (line.size() > editor.max_line_length) {
      editor.host().Message(
          Sjis("長すぎる行があります。\r\nこのファイルの編集を行うと、データの一部が失われる可能性があります。"
               "\r\n\r\n展開を中止しました。"),
          MessageIcon::kError, MessageButtons::kOk);
      return LoadResult::kRefused;
    }
  }

  if (append) {
    // The appended lines take the document's line break.
    take_code();
    if (lines.empty()) return LoadResult::kLoaded;
    editor.PushUndo(Sjis("ファイルの追加"));
    editor.doc.InsertStore(editor.doc.size(), lines, false);
    editor.AdoptPrivateCodes(std::move(decoded.codes));
  } else {
    if (!AskSaveChanges(editor)) return LoadResult::kCancelled;
    take_code();
    editor.line_ending = decoded.ending;
    editor.code_undecided = decoded.undecided;
    editor.doc.SetStore(std::move(lines));
    editor.modified = false;
    editor.ClearUndo();
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    editor.current_file_name = ec ? path : absolute.lexically_normal();
    editor.AdoptPrivateCodes(std::move(decoded.codes));
  }
  if (decoded.unmapped_count > 0) {
    editor.host().Message(
        Sjis("このファイルには Shift_JIS にない文字が " + std::to_string(decoded.unmapped_count) +
             " 個あり、「?」に置き換えました（最初は " +
             std::to_string(decoded.first_unmapped_line) + " 行目）。"),
        MessageIcon::kWarning, MessageButtons::kOk);
  }
  return LoadResult::kLoaded;
}

bool AskSaveChanges(Editor& editor) {
  if (!editor.modified) return true;
  std::string name = PathToSjis(editor.current_file_name);
  if (name.empty()) name = Sjis("無題");
  Answer a = editor.host().Message(Sjis("ファイル ") + name +
                                       Sjis(" の内容は変更されています。\r\n\r\n変更を保存しますか？"),
                                   MessageIcon::kWarning, MessageButtons::kYesNoCancel);
  if (a == Answer::kCancel) return false;
  if (a == Answer::kYes) SaveDocument(editor);
  return true;
}

bool ConfirmLossySave(Editor& editor) {
  if (!editor.confirm_lossy_save) return true;
  UnsavableReport lost = CountUnsavable(editor.doc.lines(), editor.save_code, &editor.private_codes);
  if (lost.count == 0) return true;
  Answer a = editor.host().Message(
      Sjis(std::to_string(lost.count) + " 文字は ") + std::string(SaveCodeCaption(editor.save_code)) +
          Sjis(" で保存できません。「?」に置き換えて保存しますか？"),
      MessageIcon::kQuestion, MessageButtons::kYesNo);
  return a == Answer::kYes;
}

bool WriteDocumentFile(Editor& editor, const std::filesystem::path& path) {
  if (!ConfirmLossySave(editor)) return false;
  std::error_code ec;
  const std::filesystem::path target = ResolveSaveTarget(path);
  if (editor.options.backup && std::filesystem::is_regular_file(target, ec)) {
    // A missing copy does not stop the save; the person is told.
    std::string note = MakeBackupCopy(target, editor.options.trash);
    if (!note.empty()) {
      editor.host().Message(Sjis(note), MessageIcon::kWarning, MessageButtons::kOk);
    }
  }
  std::string error;
  auto produce = [&editor](const ByteSink& sink) {
    return EncodeLinesForSave(editor.doc.lines(), editor.save_code, &editor.private_codes, sink,
                              editor.line_ending);
  };
  if (!SaveFileKeepingIdentity(path, produce, &error)) {
    ReportFileError(editor, "ファイルを保存できませんでした。\r\n", path, error);
    return false;
  }
  return true;
}

void WarnAboutLostCharacters(Editor& editor) {
  UnsavableReport report = CountUnsavable(editor.doc.lines(), editor.save_code, &editor.private_codes);
  if (report.count == 0) return;
  editor.host().Message(
      std::string(SaveCodeCaption(editor.save_code)) +
          Sjis(" では表せない文字が " + std::to_string(report.count) +
               " 個あり、「?」に置き換えて保存しました（最初は " +
               std::to_string(report.first_line) + " 行目）。"),
      MessageIcon::kWarning, MessageButtons::kOk);
}

bool SaveDocument(Editor& editor) {
  if (editor.current_file_name.empty()) return SaveDocumentAs(editor);
  if (!WriteDocumentFile(editor, editor.current_file_name)) return false;
  editor.modified = false;
  return true;
}

bool SaveDocumentAs(Editor& editor) {
  auto chosen = editor.host().SaveFileDialog(DocumentDialogSpec(editor));
  if (!chosen) return false;
  if (!WriteDocumentFile(editor, *chosen)) return false;
  editor.current_file_name = *chosen;
  editor.modified = false;
  return true;
}

void RevertDocument(Editor& editor) {
  std::error_code ec;
  if (editor.current_file_name.empty() ||
      !std::filesystem::is_regular_file(editor.current_file_name, ec)) {
    return;
  }
  Answer a = editor.host().Message(Sjis("最終更新時からの変更がすべて失われます。よろしいですか？"),
                                   MessageIcon::kQuestion, MessageButtons::kYesNo);
  if (a == Answer::kYes) LoadDocumentFile(editor, editor.current_file_name, false);
}

}  // namespace parvane
