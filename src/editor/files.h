// File loading and saving: the document's boundary with the file system.
// Whatever the file's code, the document holds Shift_JIS.
#ifndef PARVANE_EDITOR_FILES_H_
#define PARVANE_EDITOR_FILES_H_

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "codes/save_code.h"
#include "editor/file_writing.h"
#include "editor/editor.h"

namespace parvane {

enum class LoadResult {
  kLoaded,     // the document was replaced or extended
  kCancelled,  // the save-changes question was cancelled; nothing changed
  kRefused,    // a line longer than max_line_length: one a command could not store
               // either (the two limits agree); nothing changed
  kFailed,     // the file could not be read (the Host was told why)
};

// Reads path into the document, replacing it (append false) or appending its
// lines. Detects the code (or takes from, skipping detection), converts to
// Shift_JIS, sets save_code unless the code is fixed; a replacing load takes
// the file's line break. When the document is modified, the save-changes
// question comes before anything of the new file is taken over, so a save
// it starts writes the old document in its own code and break. Errors are
// reported through the Host.
LoadResult LoadDocumentFile(Editor& editor, const std::filesystem::path& path, bool append,
                            std::optional<SaveCode> from = std::nullopt);

// Reads a file's lines as the merge commands and conversion tables do: RTF
// through the RTF reader, otherwise plain bytes, converted to Shift_JIS by the
// same detection as loading. Characters outside code page 932 get codes of
// *codes when given (lines that join a document), else become '?'. Returns
// false with *error set when unreadable.
bool ReadTextFileLines(const std::filesystem::path& path, Lines* lines, std::string* error,
                       PrivateCodes* codes = nullptr);

// The save-changes question. Returns false when the person cancelled.
bool AskSaveChanges(Editor& editor);

// Before a save that would write characters as '?' (private codes in the
// Japanese codes, and what EUC-JP and JIS cannot carry): asks the person
// whether to save so (Yes/No). Returns false when the save must not happen.
// Asks nothing when editor.confirm_lossy_save is off.
bool ConfirmLossySave(Editor& editor);

// After a save that wrote characters as '?' (the command-line tool's
// --lossy): tells how many and where the first was (the document keeps them).
void WarnAboutLostCharacters(Editor& editor);

// "上書き保存": saves to current_file_name (save-as when untitled). Returns
// true when the document was written.
bool SaveDocument(Editor& editor);
// "名前を付けて保存": asks for a name, then saves.
bool SaveDocumentAs(Editor& editor);
// Writes the document to path in save_code with the ".bak" rules, after
// ConfirmLossySave; the caller decides about current_file_name. Returns false
// (Host told) on failure or when the person declined.
bool WriteDocumentFile(Editor& editor, const std::filesystem::path& path);
// "最初の状態に戻す": reloads current_file_name after confirmation.
void RevertDocument(Editor& editor);

// Reads a whole file. Returns false with *error set. progress(done, total)
// is told of every piece read; it may throw to stop the read.
bool ReadWholeFile(const std::filesystem::path& path, std::string* bytes, std::string* error,
                   const std::function<void(std::size_t, std::size_t)>& progress = {});

// A path as Shift_JIS text (for titles and step parameters) and back.
std::string PathToSjis(const std::filesystem::path& path);
std::filesystem::path SjisToPath(std::string_view sjis);

}  // namespace parvane

#endif  // PARVANE_EDITOR_FILES_H_
