// The recovery copy: what a running instance writes after each command, so
// that its text outlives a crash, and what the next start offers back.
//
// Every instance has a copy of its own in a private folder (0700; the copies
// 0600): NAME.copy, beside NAME.lock, which the instance holds under an
// exclusive flock while it runs. Another instance never offers or removes a
// copy whose lock is held; a copy whose lock is free belongs to an instance
// that is gone and is offered at the next start.
//
// A copy is a small header and the document text:
//
//   PARVANE-RECOVERY 1
//   File=<the document's file name, UTF-8; empty when untitled>
//   Code=<the save code's settings name>
//   <blank line>
//   <the document's text, as Document::Text gives it>
//
// A reader skips header keys it does not know, so a newer writer may add keys.
#ifndef PARVANE_EDITOR_RECOVERY_COPY_H_
#define PARVANE_EDITOR_RECOVERY_COPY_H_

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor.h"

namespace parvane {

// $XDG_STATE_HOME/parvane, or ~/.local/state/parvane; empty when neither
// names an absolute folder.
std::filesystem::path DefaultRecoveryFolder();

// One running instance's claim on the recovery folder.
class RecoverySlot {
 public:
  // Makes folder (0700) when missing and claims a fresh name in it, holding
  // its lock. Returns nullptr with *error set when that cannot be done.
  static std::unique_ptr<RecoverySlot> Claim(const std::filesystem::path& folder,
                                             std::string* error);
  // Removes this instance's copy and lock, and every adopted copy.
  ~RecoverySlot();
  RecoverySlot(const RecoverySlot&) = delete;
  RecoverySlot& operator=(const RecoverySlot&) = delete;

  // Where this instance writes its copy.
  const std::filesystem::path& copy_path() const { return copy_; }

  // Takes over the copy of an instance that is gone by holding its lock, so
  // that no other instance offers it; it is removed with this slot. Returns
  // false when another instance took it first.
  bool Adopt(const std::filesystem::path& copy);

 private:
  struct Held {
    std::filesystem::path copy;
    std::filesystem::path lock;
    int fd;
  };
  explicit RecoverySlot(Held own) : copy_(own.copy) { held_.push_back(own); }

  std::filesystem::path copy_;
  std::vector<Held> held_;  // this instance's own first, then the adopted ones
};

// The copies in folder whose instance is gone (nobody holds their lock),
// newest first. Lock files left without a copy by an instance that is gone
// are removed on the way.
std::vector<std::filesystem::path> AbandonedRecoveryCopies(const std::filesystem::path& folder);

// Writes the editor's document as a recovery copy to path (0600). Returns
// false with *error set.
bool WriteRecoveryFile(const Editor& editor, const std::filesystem::path& path,
                       std::string* error);

// Restores a recovery copy into the editor: the document text, the file name
// and the save code; the document is marked modified. Returns false with
// *error set (nothing changed) when the file is unreadable or no copy.
bool ReadRecoveryFile(const std::filesystem::path& path, Editor& editor, std::string* error);

}  // namespace parvane

#endif  // PARVANE_EDITOR_RECOVERY_COPY_H_
