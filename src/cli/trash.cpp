// The freedesktop.org home trash: files/NAME holds the file, info/NAME.trashinfo
// where it came from and when. The info file is created first, exclusively,
// so two programs trashing the same name never take the same slot.
#include "cli/trash.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace parvane {
namespace {

std::filesystem::path TrashDir() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::filesystem::path(data) / "Trash";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::filesystem::path(home) / ".local" / "share" / "Trash";
}

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

}  // namespace

bool MoveFileToTrash(const std::filesystem::path& path, std::string* error) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec).lexically_normal();
  if (ec || !std::filesystem::exists(absolute, ec)) {
    *error = "no such file";
    return false;
  }
  std::filesystem::path trash = TrashDir();
  if (trash.empty()) {
    *error = "no home directory for the trash";
    return false;
  }
  std::filesystem::create_directories(trash / "files", ec);
  std::filesystem::create_directories(trash / "info", ec);

  char date[32];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  const std::string info_text = "[Trash Info]\nPath=" + PercentEncodePath(absolute.string()) +
                                "\nDeletionDate=" + date + "\n";

  const std::string stem = absolute.filename().string();
  for (int n = 1; n < 10000; ++n) {
    std::string name = n == 1 ? stem : stem + "." + std::to_string(n);
    std::filesystem::path info = trash / "info" / (name + ".trashinfo");
    int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      *error = std::strerror(errno);
      return false;
    }
    bool written = ::write(fd, info_text.data(), info_text.size()) ==
                   static_cast<ssize_t>(info_text.size());
    written = ::close(fd) == 0 && written;
    std::filesystem::path target = trash / "files" / name;
    if (written) {
      std::filesystem::rename(absolute, target, ec);
      if (ec == std::errc::cross_device_link) {
        // Another file system: copy, and remove the original only once the
        // copy is complete.
        ec.clear();
        if (std::filesystem::copy_file(absolute, target, ec) && !ec) {
          std::filesystem::remove(absolute, ec);
        }
      }
      if (!ec) return true;
      *error = ec.message();
    } else {
      *error = std::strerror(errno);
    }
    std::filesystem::remove(info, ec);
    return false;
  }
  *error = "no free name in the trash";
  return false;
}

}  // namespace parvane
