// Recovery copies, one per running instance.
#include "editor/recovery_copy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

#include "codes/line_break.h"
#include "codes/text_file.h"
#include "editor/file_writing.h"
#include "editor/files.h"

namespace parvane {
namespace {

constexpr std::string_view kMagic = "PARVANE-RECOVERY 1\n";
constexpr std::string_view kCopyExtension = ".copy";
constexpr std::string_view kLockExtension = ".lock";
// A lock file younger than this may belong to an instance between making it
// and locking it.
constexpr auto kLockGrace = std::chrono::minutes(1);

// Opens and locks path without waiting. Returns the descriptor or -1.
int TryLock(const std::filesystem::path& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::filesystem::path LockOf(const std::filesystem::path& copy) {
  std::filesystem::path lock = copy;
  lock.replace_extension(kLockExtension);
  return lock;
}

}  // namespace

std::filesystem::path DefaultRecoveryFolder() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    return std::filesystem::path(state) / "parvane";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    return std::filesystem::path(home) / ".local" / "state" / "parvane";
  }
  return {};
}

std::unique_ptr<RecoverySlot> RecoverySlot::Claim(const std::filesystem::path& folder,
                                                  std::string* error) {
  if (folder.empty()) {
    *error = "no folder for the recovery copy";
    return nullptr;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder.parent_path(), ec);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = folder.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  ::chmod(folder.c_str(), 0700);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000);
    const std::filesystem::path copy = folder / (name + std::string(kCopyExtension));
    const std::filesystem::path lock = LockOf(copy);
    int fd = TryLock(lock, O_CREAT | O_EXCL);
    if (fd < 0) {
      if (errno == EEXIST || errno == EWOULDBLOCK) continue;
      *error = lock.string() + ": " + std::strerror(errno);
      return nullptr;
    }
    return std::unique_ptr<RecoverySlot>(new RecoverySlot({copy, lock, fd}));
  }
  *error = folder.string() + ": no free name";
  return nullptr;
}

RecoverySlot::~RecoverySlot() {
  for (const Held& held : held_) {
    ::unlink(held.copy.c_str());
    // The lock goes last: until then no other instance may take the copy.
    ::unlink(held.lock.c_str());
    ::close(held.fd);
  }
}

bool RecoverySlot::Adopt(const std::filesystem::path& copy) {
  const std::filesystem::path lock = LockOf(copy);
  int fd = TryLock(lock, O_CREAT);
  if (fd < 0) return false;
  // Another instance may have adopted and removed it between our look and
  // our lock.
  struct stat st {};
  if (::stat(copy.c_str(), &st) != 0) {
    ::close(fd);
    return false;
  }
  held_.push_back({copy, lock, fd});
  return true;
}

std::vector<std::filesystem::path> AbandonedRecoveryCopies(const std::filesystem::path& folder) {
  std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> found;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::filesystem::path& path = it->path();
    std::error_code time_ec;
    const auto time = std::filesystem::last_write_time(path, time_ec);
    if (path.extension() == kCopyExtension) {
      int fd = TryLock(LockOf(path), O_CREAT);
      if (fd < 0) continue;  // its instance runs
      ::close(fd);
      if (!time_ec) found.emplace_back(time, path);
    } else if (path.extension() == kLockExtension) {
      std::filesystem::path copy = path;
      copy.replace_extension(kCopyExtension);
      if (std::filesystem::exists(copy, ec) || time_ec ||
          std::filesystem::file_time_type::clock::now() - time < kLockGrace) {
        continue;
      }
      int fd = TryLock(path, 0);
      if (fd < 0) continue;
      ::unlink(path.c_str());
      ::close(fd);
    }
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::filesystem::path> copies;
  for (auto& [time, path] : found) copies.push_back(std::move(path));
  return copies;
}

bool WriteRecoveryFile(const Editor& editor, const std::filesystem::path& path,
                       std::string* error) {
  std::string header(kMagic);
  header += "File=" + editor.current_file_name.string() + "\n";
  header += "Code=" + std::string(SaveCodeSettingsName(editor.save_code)) + "\n";
  header += "Break=" + std::string(LineBreakCaption(editor.line_ending.kind)) + "\n";
  header += std::string("FinalBreak=") + (editor.line_ending.final_break ? "1" : "0") + "\n";
  // Characters outside code page 932 survive only in a Unicode form; loading
  // the copy gives them private codes again.
  const bool unicode = !editor.private_codes.empty();
  if (unicode) header += "Text=UTF-8\n";
  header += "\n";
  const Document& doc = editor.doc;
  auto produce = [&header, &doc, &editor, unicode](const ByteSink& sink) {
    if (!sink(header)) return false;
    if (unicode) {
      return EncodeLinesForSave(doc.lines(), SaveCode::kUtf8NoBom, &editor.private_codes, sink);
    }
    // The bytes as they are, CR LF after every line, in large writes.
    return EncodeLinesForSave(doc.lines(), SaveCode::kShiftJis, nullptr, sink);
  };
  if (!SaveFileKeepingIdentity(path, produce, error)) return false;
  // The folder is private already; the copy is too, whatever the umask.
  ::chmod(path.c_str(), 0600);
  return true;
}

bool ReadRecoveryFile(const std::filesystem::path& path, Editor& editor, std::string* error) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  if (bytes.compare(0, kMagic.size(), kMagic) != 0) {
    *error = "not a recovery copy";
    return false;
  }
  std::size_t pos = kMagic.size();
  std::filesystem::path file_name;
  std::optional<SaveCode> code;
  LineEnding ending;
  bool unicode = false;
  for (;;) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) {
      *error = "the recovery copy is cut off";
      return false;
    }
    std::string_view line(bytes.data() + pos, end - pos);
    pos = end + 1;
    if (line.empty()) break;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "File") file_name = std::string(value);
    if (key == "Code") code = SaveCodeFromSettingsName(value);
    if (key == "Break") {
      for (int k = 0; k < kLineBreakCount; ++k) {
        if (value == LineBreakCaption(static_cast<LineBreak>(k))) ending.kind = static_cast<LineBreak>(k);
      }
    }
    if (key == "FinalBreak") ending.final_break = value != "0";
    if (key == "Text") unicode = value == "UTF-8";
  }
  if (unicode) {
    DecodedFile decoded = DecodeFileBytesAs(bytes.substr(pos), SaveCode::kUtf8NoBom, false, nullptr);
    editor.doc.SetText(std::move(decoded.text));
    editor.AdoptPrivateCodes(std::move(decoded.codes));
  } else {
    editor.doc.SetText(bytes.substr(pos));
  }
  editor.ClearUndo();
  editor.current_file_name = file_name;
  if (code) editor.save_code = *code;
  editor.line_ending = ending;
  editor.modified = true;
  return true;
}

}  // namespace parvane
