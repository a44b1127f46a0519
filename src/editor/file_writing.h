// Writing files so that a save never leaves half a file and never changes
// what the file is: its links, owner, group, mode and extended attributes.
// Entry points: SaveFileKeepingIdentity (and WriteFileAtomically over it) and
// CopyFileAtomically; the temporary files both make are named by
// TemporaryFileName and swept by RemoveAbandonedTemporaryFiles.
#ifndef PARVANE_EDITOR_FILE_WRITING_H_
#define PARVANE_EDITOR_FILE_WRITING_H_

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace parvane {

// Receives the bytes of a file piece by piece; returns false when the write
// failed.
using ByteSink = std::function<bool(std::string_view)>;
// Hands every piece of a file to the sink it is given; returns false when the
// sink did (or when it could not produce the bytes).
using ByteProducer = std::function<bool(const ByteSink&)>;

// The file a save of path writes: path with its symbolic links followed, a
// link whose target does not exist yet included (the target is created). A
// path that is no link comes back as it is.
std::filesystem::path ResolveSaveTarget(const std::filesystem::path& path);

// Saves the bytes of produce over path (creating it when missing):
//  1. symbolic links are followed (ResolveSaveTarget); the links stay;
//  2. an existing file that the process may not write is refused;
//  3. the bytes go to a temporary file beside the file first, so a failure
//     while producing or writing them leaves the file as it was;
//  4. a file with more than one hard link is then rewritten in place from the
//     temporary file, so every name sees the new text;
//  5. any other file is replaced by renaming the temporary file over it, after
//     the temporary file took the old file's owner (where the process may set
//     it), group, mode and extended attributes (where the file system has
//     them). A new file gets 0666 less the umask.
// Returns false with *error set to the system's reason; no temporary file is
// left behind. Only a failure in the middle of step 4 can leave a mix.
bool SaveFileKeepingIdentity(const std::filesystem::path& path, const ByteProducer& produce,
                             std::string* error);

// SaveFileKeepingIdentity for bytes that are at hand.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error);

// Copies the bytes of source to target whole or not at all: a temporary file
// beside target, renamed over it once complete (replace false: only when no
// file has the name; returns false with *error "File exists" otherwise). A
// failed copy is removed and an earlier target stays as it was. Returns false
// with *error set.
bool CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target,
                        bool replace, std::string* error);

// The name of a temporary file for target, in target's folder:
// ".NAME.parvane-PID.XXXXXX" (XXXXXX for mkstemp). The writer holds an
// exclusive flock on it while it exists.
std::filesystem::path TemporaryFileName(const std::filesystem::path& target);

// The writer's process id when name is such a temporary file's name.
std::optional<pid_t> TemporaryFileWriter(std::string_view name);

// Removes from dir the temporary files of writers that are gone: no process
// has the lock on the file and its process id runs no process. Returns how
// many were removed. Done once per folder and process by the writers above,
// so that the next run in a folder cleans up after one that was killed.
int RemoveAbandonedTemporaryFiles(const std::filesystem::path& dir);

}  // namespace parvane

#endif  // PARVANE_EDITOR_FILE_WRITING_H_
