// The ".bak" copy that a save over an existing file makes first. Entry
// point: MakeBackupCopy. No file that existed before the copy is lost by it.
#ifndef PARVANE_EDITOR_BACKUP_H_
#define PARVANE_EDITOR_BACKUP_H_

#include <filesystem>
#include <string>

namespace parvane {

// The ".bak" name of file: its extension replaced by ".bak".
std::filesystem::path BackupName(const std::filesystem::path& file);

// Makes the backup copy of file (the file a save is about to replace, its
// links already followed):
//  - to_trash: the copy goes straight into the trash, recorded under the
//    ".bak" name; nothing beside file is touched;
//  - otherwise, or when no trash can take it: the copy is written beside file
//    at the ".bak" name, whole or not at all. A file already at that name goes
//    to the trash first; when it cannot, it stays and the copy takes the
//    first free name "NAME.bak.N".
// Returns what the person should be told, in UTF-8: why the copy is not where
// the options put it, or why there is none (a failed copy leaves nothing).
// Empty when everything went as asked.
std::string MakeBackupCopy(const std::filesystem::path& file, bool to_trash);

}  // namespace parvane

#endif  // PARVANE_EDITOR_BACKUP_H_
