// The user's trash, laid out as freedesktop.org's desktops share it:
// a trash folder holds files/NAME (the file) and info/NAME.trashinfo (where it
// came from and when). The one implementation for the desktop program and
// parvane-cli; nothing else moves a file to the trash.
//
// Which trash takes a file: the home trash, $XDG_DATA_HOME/Trash (default
// ~/.local/share/Trash, created 0700 with files/ and info/ when missing), for
// a file on the same device as that folder; for a file on another device the
// trash at the top of the file's own mount, $topdir/.Trash/UID (when .Trash
// is a real folder with the sticky bit) or else $topdir/.Trash-UID (created
// 0700). Never the working folder or any folder not named here.
#ifndef PARVANE_EDITOR_TRASH_H_
#define PARVANE_EDITOR_TRASH_H_

#include <filesystem>
#include <string>

namespace parvane {

// The home trash folder, or an empty path (with *error set) when neither
// XDG_DATA_HOME nor HOME gives an absolute folder.
std::filesystem::path HomeTrashFolder(std::string* error);

// Moves path into the trash that takes it, with its info record. Returns
// false with *error set when no trash could take it; the file then stays
// where it was.
bool MoveFileToTrash(const std::filesystem::path& path, std::string* error);

// Puts a copy of source into the trash as if a file named as (an absolute
// path beside source, such as its ".bak" name) had been deleted: the record
// says as, source and every other file stay as they are. The copy is whole or
// absent. The trash is chosen for as's folder; when that folder's own trash
// cannot be used, the home trash takes the copy. Returns false with *error
// set when no trash could take it.
bool CopyFileToTrash(const std::filesystem::path& source, const std::filesystem::path& as,
                     std::string* error);

}  // namespace parvane

#endif  // PARVANE_EDITOR_TRASH_H_
