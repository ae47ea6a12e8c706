// Whole-file reads and all-or-nothing writes.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "tests/script/scratch_folder.h"

namespace lxr4 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// The bytes of a whole read, nullopt for any refusal.
std::optional<Bytes> Read(const std::string& path, std::size_t maxBytes) {
  FileRead read = ReadFile(path, maxBytes);
  if (!read.ok()) return std::nullopt;
  return std::move(read.bytes);
}

struct Files : ScratchFolder {
  void Put(const std::string& name, const Bytes& bytes) const {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
};

// The disk fills up while the new contents are written: the older file stays
// byte for byte, and no temporary file is left.
TEST_F(Files, AFailedWriteKeepsWhatWasThere) {
  const Bytes old(3000, 5);
  Put("full.txt", old);
  const auto names = Names();
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  const FileError error = WriteFile(At("full.txt"), Bytes(5000, 6));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedSignal);
  EXPECT_EQ(error, FileError::TooLarge);
  EXPECT_EQ(Read(At("full.txt"), 10000), old);
  EXPECT_EQ(Names(), names);
}

// A read takes the whole file, written in chunks, or refuses it: a file one
// byte over the limit is never cut to the limit (1 MiB and more included).
TEST_F(Files, AReadTakesTheWholeFileOrRefusesItAsTooLarge) {
  Bytes bytes(1048888);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 13);
  ASSERT_EQ(WriteFile(At("long.cal"), bytes), FileError::None);
  ASSERT_EQ(WriteFile(At("empty"), {}), FileError::None);
  const struct {
    std::string path;
    std::size_t limit;
    FileReadError error;
  } cases[] = {
      {At("long.cal"), bytes.size() + 1, FileReadError::None},
      {At("long.cal"), bytes.size(), FileReadError::None},  // the last size taken
      {At("long.cal"), bytes.size() - 1, FileReadError::TooLarge},
      {At("long.cal"), std::size_t{1} << 20, FileReadError::TooLarge},
      {At("long.cal"), 0, FileReadError::TooLarge},
      {At("empty"), 0, FileReadError::None},
      {At("missing"), 10, FileReadError::CannotRead},
      {"", 10, FileReadError::CannotRead},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " " + std::to_string(c.limit));
    const FileRead read = ReadFile(c.path, c.limit);
    EXPECT_EQ(read.error, c.error);
    EXPECT_EQ(read.bytes, c.error == FileReadError::None && c.path == At("long.cal") ? bytes : Bytes{});
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"empty", "long.cal"}));
}

// The error of each failing write, as an injected errno gives it, and the
// message every save shows for it. (A save over a loaded image and a 16 MB
// refusal are the golden cases strip-* and saving_test.)
TEST(FileMessages, EachRefusalIsInWords) {
  const std::string full = "The file a.csv could not be written: the disk is full; nothing was saved.";
  const struct {
    int errnum;
    FileError error;
    std::string message;
  } cases[] = {
      {EFBIG, FileError::TooLarge,
       "The file a.csv could not be written: it would be larger than the system lets this program write; "
       "nothing was saved."},
      {ENOSPC, FileError::DiskFull, full},
      {EDQUOT, FileError::DiskFull, full},
      {EIO, FileError::CannotWrite, "The file a.csv could not be written; nothing was saved."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.errnum);
    EXPECT_EQ(WriteErrorOf(c.errnum), c.error);
    EXPECT_EQ(SaveRefusal(c.error, "a.csv"), c.message);
  }  // Refused reads name the file and the limit.
  EXPECT_EQ(ReadRefusal(FileRead::Refused(FileReadError::TooLarge), "frame.fits", std::size_t{1} << 30),
            "frame.fits is larger than 1 GB and was not read.");
  EXPECT_EQ(ReadRefusal(FileRead::Refused(FileReadError::NoMemory), "x.km1", 1),
            "x.km1 is too large for the memory left and was not read.");
  EXPECT_EQ(ReadRefusal(FileRead::Refused(FileReadError::CannotRead), "x.km1", 1), "");
  EXPECT_EQ(SizeText(1000), "1000 bytes");
}

// A path no file can be written at is refused and nothing is left. Folders,
// FIFOs, devices: a load refuses them at once (a FIFO without a writer would
// block a plain open for ever), and a save never replaces them.
TEST_F(Files, NoFileIsWrittenWhereNoneCanBeAndSpecialFilesAreNeverReplaced) {
  Put("plain", {1});
  fs::create_directory(dir / "folder");
  ASSERT_EQ(mkfifo(At("fifo").c_str(), 0644), 0);
  const struct {
    std::string path;
    FileError error;
  } cases[] = {
      {At("no such folder/x.txt"), FileError::CannotOpen},
      {At("plain/x.txt"), FileError::CannotOpen},  // a file where a folder should be
      {"/proc/lxr4-cannot-write-here", FileError::CannotOpen},
      {At("") + "/", FileError::CannotOpen},
      {"", FileError::CannotOpen},
      {At("folder"), FileError::NotRegularFile},
      {At("fifo"), FileError::NotRegularFile},
      {"/dev/null", FileError::NotRegularFile},
      {"/dev/zero", FileError::NotRegularFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(WriteFile(c.path, Bytes{1, 2}), c.error);
    EXPECT_EQ(Read(c.path, 10), std::nullopt);
  }
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_TRUE(fs::is_empty(dir / "folder"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"fifo", "folder", "plain"}));
}

// A replaced file keeps its mode, owner and group; a link stays a link,
// wherever it points, and its target gets the contents; a name of 254
// characters, one below the limit, leaves no room for a temporary name made
// from it; a stale or planted temporary name is never in the way.
TEST_F(Files, AReplacedFileKeepsItsModeOwnerLinksAndName) {
  Put("private.txt", {1});
  fs::permissions(dir / "private.txt", fs::perms(0600));
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(At("private.txt").c_str(), 1234, 4321), 0);
  }
  for (int i = 0; i < 100; ++i) Put("private.txt.tmp" + std::to_string(i), {});
  Put(".lxr4-000000", {});
  fs::create_directory(dir / "data");
  Put("data/real.txt", {1, 1, 1});
  fs::create_symlink("data/real.txt", dir / "link.txt");
  fs::create_symlink("link.txt", dir / "chain.txt");
  fs::create_symlink("data/new.txt", dir / "dangling.txt");
  const std::string longest(254, 'n');
  Put(longest, {1});
  const std::pair<std::string, std::string> writes[] = {{"private.txt", "private.txt"}, {"chain.txt", "data/real.txt"},
                                                         {"dangling.txt", "data/new.txt"}, {longest, longest}};
  for (const auto& [written, target] : writes) {
    SCOPED_TRACE(written);
    ASSERT_EQ(WriteFile(At(written), Bytes{2, 3}), FileError::None);
    EXPECT_EQ(Read(At(target), 10), (Bytes{2, 3}));
  }
  struct stat st {};
  ASSERT_EQ(stat(At("private.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  if (root) {
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 4321u);
  }
  for (const char* link : {"link.txt", "chain.txt", "dangling.txt"}) EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
  fs::create_symlink("loop.txt", dir / "loop.txt");
  EXPECT_EQ(WriteFile(At("loop.txt"), Bytes{4}), FileError::CannotOpen);

  // A new file gets a new file's mode: everyone may read and write, less the umask.
  const mode_t mask = umask(027);
  ASSERT_EQ(WriteFile(At("new.txt"), Bytes{1}), FileError::None);
  umask(mask);
  ASSERT_EQ(stat(At("new.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Checked by a user who is not root, for whom write permission means something.
TEST_F(Files, AFileTheUserMayNotWriteIsNotReplaced) {
  Put("readonly.txt", {1});
  fs::permissions(dir / "readonly.txt", fs::perms(0444));
  fs::permissions(dir, fs::perms::all);
  const auto check = [&] {
    return WriteFile(At("readonly.txt"), Bytes{2}) == FileError::NotWritable &&
           Read(At("readonly.txt"), 10) == Bytes{1} && Names() == std::vector<std::string>{"readonly.txt"};
  };
  if (geteuid() != 0) {
    EXPECT_TRUE(check());
    return;
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(setgid(65534) == 0 && setuid(65534) == 0 && check() ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(Files, SameFileComparesFilesThenPaths) {
  Put("a.km1", {1});
  fs::create_hard_link(dir / "a.km1", dir / "hard.km1");
  fs::create_symlink("a.km1", dir / "soft.km1");
  const struct {
    std::string a, b;
    bool same;
  } cases[] = {{At("hard.km1"), At("a.km1"), true},    {At("soft.km1"), At("x/../a.km1"), true},
               {At("new.txt"), At("./new.txt"), true}, {At("a.km1"), At("new.txt"), false},
               {At("new.txt"), At("o.txt"), false},    {"", "", false}};
  for (const auto& c : cases) EXPECT_EQ(SameFile(c.a, c.b), c.same) << c.a << " " << c.b;
}

}  // namespace
}  // namespace lxr4
