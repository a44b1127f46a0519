// The backup copy before a save.
#include "editor/backup.h"

#include <sys/stat.h>

#include "editor/file_writing.h"
#include "editor/trash.h"

namespace parvane {
namespace {

bool Exists(const std::filesystem::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::filesystem::path BackupName(const std::filesystem::path& file) {
  std::filesystem::path bak = file;
  bak.replace_extension(".bak");
  return bak;
}

std::string MakeBackupCopy(const std::filesystem::path& file, bool to_trash) {
  const std::filesystem::path bak = BackupName(file);
  std::string note;
  if (to_trash) {
    std::string error;
    if (CopyFileToTrash(file, bak, &error)) return {};
    note = "ごみ箱を使えないため、バックアップをファイルの横に残しました（" + error + "）。\r\n";
  }
  std::filesystem::path target = bak;
  if (Exists(bak)) {
    std::string error;
    if (!MoveFileToTrash(bak, &error)) {
      for (int n = 1; Exists(target); ++n) target = bak.string() + "." + std::to_string(n);
      note += "既存の " + bak.string() + " をごみ箱に移せないため（" + error +
              "）、バックアップは別の名前にしました。\r\n";
    }
  }
  std::string error;
  // Without replacing: the name is free now, and whatever takes it meanwhile
  // is not ours to destroy.
  if (!CopyFileAtomically(file, target, false, &error)) {
    return note + "バックアップを作れませんでした: " + target.string() + "\r\n" + error;
  }
  if (!note.empty()) note += target.string();
  return note;
}

}  // namespace parvane
