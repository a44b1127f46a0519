// The trash. The info record is created first, exclusively, so two programs
// trashing the same name never take the same slot; the file then moves (or is
// copied) to files/ under a name that no file there has, so nothing already
// in the trash is ever replaced.
#include "editor/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

#include "editor/file_writing.h"

namespace parvane {
namespace {

constexpr int kMaxSlots = 10000;

// A trash folder and where its records' paths are relative to.
struct TrashFolder {
  std::filesystem::path dir;
  std::filesystem::path top;  // empty for the home trash: records hold absolute paths
};

std::string PercentEncodePath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

bool MakeFolder(const std::filesystem::path& dir) {
  if (::mkdir(dir.c_str(), 0700) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat st {};
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates what is missing of a trash folder. Returns false when it cannot.
bool Prepare(const std::filesystem::path& trash) {
  return MakeFolder(trash) && MakeFolder(trash / "files") && MakeFolder(trash / "info");
}

// The device of path, or of its nearest existing ancestor.
std::optional<dev_t> DeviceOf(std::filesystem::path path) {
  for (;;) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_dev;
    if (path == path.parent_path() || path.empty()) return std::nullopt;
    path = path.parent_path();
  }
}

// The top folder of the mount that holds dir.
std::filesystem::path MountTop(const std::filesystem::path& dir, dev_t device) {
  std::filesystem::path top = dir;
  while (top != top.parent_path()) {
    struct stat st {};
    if (::stat(top.parent_path().c_str(), &st) != 0 || st.st_dev != device) break;
    top = top.parent_path();
  }
  return top;
}

// The trash folders that may take a file of folder dir, best first.
std::vector<TrashFolder> Candidates(const std::filesystem::path& dir, bool with_home_fallback) {
  std::vector<TrashFolder> folders;
  std::string ignored;
  const std::filesystem::path home = HomeTrashFolder(&ignored);
  const std::optional<dev_t> device = DeviceOf(dir);
  const std::optional<dev_t> home_device = home.empty() ? std::nullopt : DeviceOf(home);
  if (device && home_device && *device == *home_device) {
    folders.push_back({home, {}});
    return folders;
  }
  if (device) {
    const std::filesystem::path top = MountTop(dir, *device);
    const std::string uid = std::to_string(::getuid());
    struct stat st {};
    const std::filesystem::path shared = top / ".Trash";
    // A shared trash counts only as a real folder with the sticky bit: anyone
    // could have made a link or an open folder there.
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0) {
      folders.push_back({shared / uid, top});
    }
    folders.push_back({top / (".Trash-" + uid), top});
  }
  if (with_home_fallback && !home.empty()) folders.push_back({home, {}});
  return folders;
}

std::string InfoText(const TrashFolder& folder, const std::filesystem::path& original) {
  char date[32];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  std::filesystem::path recorded =
      folder.top.empty() ? original : original.lexically_relative(folder.top);
  return "[Trash Info]\nPath=" + PercentEncodePath(recorded.string()) + "\nDeletionDate=" + date +
         "\n";
}

// Puts one file into folder under original's name (or name.N): move renames
// source there, otherwise it is copied. Returns false with *error.
bool PutInto(const TrashFolder& folder, const std::filesystem::path& source,
             const std::filesystem::path& original, bool move, std::string* error) {
  if (!Prepare(folder.dir)) {
    *error = folder.dir.string() + ": " + std::strerror(errno);
    return false;
  }
  const std::string info_text = InfoText(folder, original);
  const std::string stem = original.filename().string();
  for (int n = 1; n < kMaxSlots; ++n) {
    const std::string name = n == 1 ? stem : stem + "." + std::to_string(n);
    const std::filesystem::path info = folder.dir / "info" / (name + ".trashinfo");
    int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      *error = std::strerror(errno);
      return false;
    }
    bool written = ::write(fd, info_text.data(), info_text.size()) ==
                   static_cast<ssize_t>(info_text.size());
    written = ::close(fd) == 0 && written;
    if (!written) {
      *error = std::strerror(errno);
      ::unlink(info.c_str());
      return false;
    }
    const std::filesystem::path target = folder.dir / "files" / name;
    bool taken = false;
    if (move) {
      if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
      }
      taken = errno == EEXIST;
      *error = std::strerror(errno);
    } else {
      std::string copy_error;
      if (CopyFileAtomically(source, target, false, &copy_error)) return true;
      taken = copy_error == std::strerror(EEXIST);
      *error = copy_error;
    }
    ::unlink(info.c_str());
    // A file without its record holds the name: take the next one.
    if (!taken) return false;
  }
  *error = "no free name in the trash";
  return false;
}

bool Put(const std::filesystem::path& source, const std::filesystem::path& original, bool move,
         std::string* error) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(original, ec).lexically_normal();
  if (ec) {
    *error = ec.message();
    return false;
  }
  std::vector<TrashFolder> folders = Candidates(absolute.parent_path(), !move);
  if (folders.empty()) {
    *error = "no trash folder (neither XDG_DATA_HOME nor HOME is set)";
    return false;
  }
  std::string reasons;
  for (const TrashFolder& folder : folders) {
    std::string reason;
    if (PutInto(folder, move ? absolute : source, absolute, move, &reason)) return true;
    if (!reasons.empty()) reasons += "; ";
    reasons += reason;
  }
  *error = reasons;
  return false;
}

}  // namespace

std::filesystem::path HomeTrashFolder(std::string* error) {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') {
    std::error_code ec;
    std::filesystem::create_directories(data, ec);
    return std::filesystem::path(data) / "Trash";
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    *error = "no home folder for the trash";
    return {};
  }
  std::filesystem::path share = std::filesystem::path(home) / ".local" / "share";
  std::error_code ec;
  std::filesystem::create_directories(share, ec);
  return share / "Trash";
}

bool MoveFileToTrash(const std::filesystem::path& path, std::string* error) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    *error = std::strerror(errno);
    return false;
  }
  return Put(path, path, true, error);
}

bool CopyFileToTrash(const std::filesystem::path& source, const std::filesystem::path& as,
                     std::string* error) {
  return Put(source, as, false, error);
}

}  // namespace parvane
