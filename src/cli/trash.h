// Moving a file to the user's trash (freedesktop.org trash, home trash only).
#ifndef PARVANE_CLI_TRASH_H_
#define PARVANE_CLI_TRASH_H_

#include <filesystem>
#include <string>

namespace parvane {

// Moves path into $XDG_DATA_HOME/Trash (or ~/.local/share/Trash) with its
// .trashinfo record. Returns false with *error set when that failed; the
// file then stays where it was.
bool MoveFileToTrash(const std::filesystem::path& path, std::string* error);

}  // namespace parvane

#endif  // PARVANE_CLI_TRASH_H_
