// Whole-or-absent writes that keep a file's identity.
#include "editor/file_writing.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace parvane {
namespace {

constexpr std::string_view kTemporaryMarker = ".parvane-";
// Keeps ".NAME.parvane-PID.XXXXXX" within the 255 bytes a name may have.
constexpr std::size_t kMaxNameInTemporary = 200;
// Symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

std::string Reason(int err) { return std::strerror(err); }

bool WriteAllTo(int fd, std::string_view bytes, int* err) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      *err = errno;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies what is left of from into to. Returns 0 or the errno.
int CopyDescriptor(int from, int to) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    ssize_t n = ::read(from, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return 0;
    int err = 0;
    if (!WriteAllTo(to, std::string_view(buffer.data(), static_cast<std::size_t>(n)), &err)) {
      return err;
    }
  }
}

// Each folder is swept once per process: a run that saves a thousand files
// in one folder reads the folder once.
void SweepOnce(const std::filesystem::path& dir) {
  static std::mutex mutex;
  static std::set<std::filesystem::path> swept;
  std::lock_guard<std::mutex> lock(mutex);
  if (!swept.insert(dir).second) return;
  RemoveAbandonedTemporaryFiles(dir);
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  std::filesystem::path dir = path.parent_path();
  return dir.empty() ? std::filesystem::path(".") : dir;
}

// A temporary file beside target, created and locked. Removed by its
// destructor unless Commit renamed it.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target) {
    SweepOnce(FolderOf(target));
    std::string name = TemporaryFileName(target).string();
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
      err_ = errno;
      return;
    }
    name_ = name;
    // Marks the file as having a live writer for RemoveAbandonedTemporaryFiles.
    ::flock(fd_, LOCK_EX);
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return fd_; }
  int creation_error() const { return err_; }
  const std::string& name() const { return name_; }

  // Makes the bytes durable and renames the file to target: over it
  // (replace) or only where no file has that name. Returns 0 or the errno.
  int Commit(const std::filesystem::path& target, bool replace) {
    if (::fsync(fd_) != 0) return errno;
    int result;
    if (replace) {
      result = ::rename(name_.c_str(), target.c_str());
    } else {
      result = ::renameat2(AT_FDCWD, name_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
      if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the flag: a hard link never replaces either.
        result = ::link(name_.c_str(), target.c_str());
        if (result == 0) ::unlink(name_.c_str());
      }
    }
    if (result != 0) return errno;
    name_.clear();
    // Closing releases the lock; the name is the target's now.
    int closed = ::close(fd_);
    fd_ = -1;
    return closed == 0 ? 0 : errno;
  }

 private:
  int fd_ = -1;
  int err_ = 0;
  std::string name_;
};

// Gives fd what makes path the file it is: owner (where the process may set
// it), group, extended attributes, mode. Failures are not errors: a file
// system without extended attributes, or a user who may not give a file away,
// still gets the save.
void CopyIdentity(const std::filesystem::path& path, const struct stat& st, int fd) {
  if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
    [[maybe_unused]] int ignored = ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
  }
  ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
  if (size > 0) {
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::listxattr(path.c_str(), names.data(), names.size());
    for (ssize_t i = 0; i < size;) {
      const char* name = names.data() + i;
      i += static_cast<ssize_t>(std::strlen(name)) + 1;
      ssize_t length = ::getxattr(path.c_str(), name, nullptr, 0);
      if (length < 0) continue;
      std::vector<char> value(static_cast<std::size_t>(length));
      length = ::getxattr(path.c_str(), name, value.data(), value.size());
      if (length >= 0) ::fsetxattr(fd, name, value.data(), static_cast<std::size_t>(length), 0);
    }
  }
  // Last: a change of owner clears the set-id bits.
  ::fchmod(fd, st.st_mode & 07777);
}

}  // namespace

std::filesystem::path ResolveSaveTarget(const std::filesystem::path& path) {
  std::filesystem::path current = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(current, ec)) return current;
    std::filesystem::path next = std::filesystem::read_symlink(current, ec);
    if (ec) return current;
    current = next.is_absolute() ? next : FolderOf(current) / next;
  }
  return current;
}

std::filesystem::path TemporaryFileName(const std::filesystem::path& target) {
  std::string name = target.filename().string();
  if (name.size() > kMaxNameInTemporary) name.resize(kMaxNameInTemporary);
  name = "." + name + std::string(kTemporaryMarker) + std::to_string(::getpid()) + ".XXXXXX";
  return FolderOf(target) / name;
}

std::optional<pid_t> TemporaryFileWriter(std::string_view name) {
  // ".NAME.parvane-PID.XXXXXX": read from the end, NAME may hold anything.
  if (name.size() < 1 + kTemporaryMarker.size() + 1 + 7 || name[0] != '.') return std::nullopt;
  std::string_view rest = name.substr(0, name.size() - 7);
  if (name[name.size() - 7] != '.') return std::nullopt;
  std::size_t marker = rest.rfind(kTemporaryMarker);
  if (marker == std::string_view::npos || marker == 0) return std::nullopt;
  std::string_view digits = rest.substr(marker + kTemporaryMarker.size());
  pid_t pid = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
  if (ec != std::errc() || end != digits.data() + digits.size() || pid <= 0) return std::nullopt;
  return pid;
}

int RemoveAbandonedTemporaryFiles(const std::filesystem::path& dir) {
  int removed = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::optional<pid_t> pid = TemporaryFileWriter(name);
    if (!pid) continue;
    // A running writer: its process exists (EPERM: it exists, another user's).
    if (::kill(*pid, 0) == 0 || errno == EPERM) continue;
    int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat st {};
    // The lock decides even when the process id has been given to another
    // process since.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (::unlink(it->path().c_str()) == 0) ++removed;
    }
    ::close(fd);
  }
  return removed;
}

bool SaveFileKeepingIdentity(const std::filesystem::path& path, const ByteProducer& produce,
                             std::string* error) {
  const std::filesystem::path target = ResolveSaveTarget(path);
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) {
      *error = Reason(EISDIR);
      return false;
    }
    if (::access(target.c_str(), W_OK) != 0) {
      // Renaming over a read-only file would succeed; the person asked for it
      // to stay as it is.
      *error = Reason(errno);
      return false;
    }
  }
  TemporaryFile temp(target);
  if (temp.fd() < 0) {
    *error = Reason(temp.creation_error());
    return false;
  }
  int write_error = 0;
  ByteSink sink = [&temp, &write_error](std::string_view bytes) {
    return WriteAllTo(temp.fd(), bytes, &write_error);
  };
  if (!produce(sink)) {
    *error = Reason(write_error != 0 ? write_error : EIO);
    return false;
  }

  if (exists && (st.st_nlink > 1 || !S_ISREG(st.st_mode))) {
    // Every name of the file (and a device or pipe) must see the new bytes:
    // write them into the file itself. The temporary copy is complete first,
    // so a failure of the encoder never reaches the file.
    if (::fsync(temp.fd()) != 0 || ::lseek(temp.fd(), 0, SEEK_SET) != 0) {
      *error = Reason(errno);
      return false;
    }
    int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
      *error = Reason(errno);
      return false;
    }
    int err = CopyDescriptor(temp.fd(), fd);
    if (err == 0 && S_ISREG(st.st_mode)) {
      off_t size = ::lseek(fd, 0, SEEK_CUR);
      if (size < 0 || ::ftruncate(fd, size) != 0 || ::fsync(fd) != 0) err = errno;
    }
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) {
      *error = Reason(err);
      return false;
    }
    return true;
  }

  if (exists) {
    CopyIdentity(target, st, temp.fd());
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(temp.fd(), 0666 & ~mask);
  }
  if (int err = temp.Commit(target, true); err != 0) {
    *error = Reason(err);
    return false;
  }
  return true;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error) {
  return SaveFileKeepingIdentity(
      path, [bytes](const ByteSink& sink) { return sink(bytes); }, error);
}

bool CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target,
                        bool replace, std::string* error) {
  int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    *error = Reason(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
    *error = Reason(S_ISDIR(st.st_mode) ? EISDIR : errno);
    ::close(in);
    return false;
  }
  TemporaryFile temp(target);
  if (temp.fd() < 0) {
    *error = Reason(temp.creation_error());
    ::close(in);
    return false;
  }
  int err = CopyDescriptor(in, temp.fd());
  ::close(in);
  // A backup is read by the same people as the file it copies.
  if (err == 0) ::fchmod(temp.fd(), st.st_mode & 0777);
  if (err == 0) err = temp.Commit(target, replace);
  if (err != 0) {
    *error = Reason(err);
    return false;
  }
  return true;
}

}  // namespace parvane
