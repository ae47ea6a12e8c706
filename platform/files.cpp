#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <new>
#include <random>

namespace lxr4 {

namespace {

namespace fs = std::filesystem;

// A file descriptor closed on every path.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  [[nodiscard]] int get() const { return fd_; }
  // Closes now, so that a failing close is seen; false when it failed.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// None, or the error that stopped the writing.
FileError WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return WriteErrorOf(errno);
    if (n == 0) return FileError::CannotWrite;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return FileError::None;
}

// The file a save to `path` writes: a symbolic link is followed to the file it
// names (which may not exist yet), so that the link stays a link. nullopt for a
// loop of links.
std::optional<fs::path> FinalTarget(fs::path path) {
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    const fs::path link = fs::read_symlink(path, ec);
    if (ec) return std::nullopt;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return std::nullopt;
}

// Creates a new file in `folder` named by a short fixed prefix and a random
// suffix, exclusively: unique, legal beside any legal target name, and a stale
// or planted one is never in the way. Its mode is a new file's (0666 less the
// umask). Sets `tempPath`; -1 when no file could be created there.
int CreateTemporary(const fs::path& folder, std::string& tempPath) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = ".lxr4-";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    tempPath = (folder / name).string();
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Flushes the folder's entries, so that the rename itself reaches the disk.
// Some file systems cannot sync a folder; the file is in place either way.
void SyncFolder(const fs::path& folder) {
  const Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) (void)::fsync(dir.get());
}

}  // namespace

FileError WriteErrorOf(int errnum) {
  switch (errnum) {
    case EFBIG:
      return FileError::TooLarge;
    case ENOSPC:
    case EDQUOT:
      return FileError::DiskFull;
    default:
      return FileError::CannotWrite;
  }
}

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

FileRead ReadFile(const std::string& path, std::size_t maxBytes) {
  FileRead read;
  const auto refused = [&read](FileReadError error) {
    read.bytes = {};
    read.error = error;
    return std::move(read);
  };
  // Only a regular file is opened, and never in a way that could wait: a FIFO,
  // a device or a folder is refused before and after the open.
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return refused(FileReadError::CannotRead);
  const Fd f(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (f.get() < 0 || ::fstat(f.get(), &st) != 0 || !S_ISREG(st.st_mode))
    return refused(FileReadError::CannotRead);
  if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) return refused(FileReadError::TooLarge);
  try {
    read.bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t chunk[65536];
    // A file grown since its size was taken is too large, never cut.
    for (;;) {
      const ssize_t got = ::read(f.get(), chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return refused(FileReadError::CannotRead);
      if (got == 0) break;
      if (static_cast<std::size_t>(got) > maxBytes - read.bytes.size())
        return refused(FileReadError::TooLarge);
      read.bytes.insert(read.bytes.end(), chunk, chunk + got);
    }
  } catch (const std::bad_alloc&) {
    return refused(FileReadError::NoMemory);
  }
  return read;
}

FileError WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  if (path.empty() || !fs::path(path).has_filename()) return FileError::CannotOpen;
  const std::optional<fs::path> target = FinalTarget(path);
  if (!target) return FileError::CannotOpen;

  struct stat old {};
  const bool replacing = ::stat(target->c_str(), &old) == 0;
  if (replacing && !S_ISREG(old.st_mode)) return FileError::NotRegularFile;
  if (replacing && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0)
    return FileError::NotWritable;

  const fs::path folder = target->parent_path();
  std::string tempPath;
  Fd f(CreateTemporary(folder, tempPath));
  if (f.get() < 0) return FileError::CannotOpen;

  // The new file takes the old one's owner, group (where the user may set them)
  // and mode, set in this order because a change of owner can clear mode bits.
  // The first failure is the one reported; the temporary file goes either way.
  FileError error = FileError::None;
  const auto fail = [&error](FileError e) {
    if (error == FileError::None) error = e;
  };
  if (replacing) {
    if (::fchown(f.get(), old.st_uid, old.st_gid) != 0)
      (void)::fchown(f.get(), static_cast<uid_t>(-1), old.st_gid);
    if (::fchmod(f.get(), old.st_mode & 07777) != 0) fail(FileError::CannotWrite);
  }
  if (error == FileError::None) fail(WriteAll(f.get(), bytes));
  if (error == FileError::None && ::fsync(f.get()) != 0) fail(WriteErrorOf(errno));
  if (!f.Close()) fail(WriteErrorOf(errno));
  if (error == FileError::None && ::rename(tempPath.c_str(), target->c_str()) != 0)
    fail(FileError::CannotWrite);
  if (error != FileError::None) {
    ::unlink(tempPath.c_str());
    return error;
  }
  SyncFolder(folder);
  return FileError::None;
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  std::error_code ea, eb;
  const fs::path na = fs::weakly_canonical(fs::absolute(a, ea), ea);
  const fs::path nb = fs::weakly_canonical(fs::absolute(b, eb), eb);
  if (ea || eb) return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
  return na == nb;
}

}  // namespace lxr4
