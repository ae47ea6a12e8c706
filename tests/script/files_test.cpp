// Whole-file reads and all-or-nothing writes.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lxr4 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Files : testing::Test {
  fs::path dir;
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("lxr4-files-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string At(const std::string& name) const { return (dir / name).string(); }
  void Put(const std::string& name, const Bytes& bytes) const {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // Every name in the folder: a failed write leaves no temporary file behind.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(Files, WriteThenReadBack) {
  const Bytes bytes{'"', '\r', '\n', 0, 255};
  ASSERT_EQ(WriteFile(At("a.txt"), bytes), FileError::None);
  EXPECT_EQ(ReadFile(At("a.txt"), 100), bytes);
  EXPECT_EQ(ReadFile(At("a.txt"), 2), (Bytes{'"', '\r'}));
  ASSERT_EQ(WriteFile(At("empty"), {}), FileError::None);
  EXPECT_EQ(ReadFile(At("empty"), 10), Bytes{});
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "empty"}));
}

TEST_F(Files, ReadsMoreThanOneChunk) {
  Bytes big(200000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_EQ(WriteFile(At("big"), big), FileError::None);
  EXPECT_EQ(ReadFile(At("big"), 1000000), big);
  EXPECT_EQ(ReadFile(At("big"), 70000)->size(), 70000u);
}

TEST_F(Files, UnreadableFiles) {
  for (const std::string& path : {At("missing"), dir.string(), std::string()}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(ReadFile(path, 10), std::nullopt);
  }
}

TEST_F(Files, AFolderThatCannotTakeTheFileIsRefusedAndNothingIsLeft) {
  Put("plain", {1});
  const struct {
    std::string path;
    FileError error;
  } cases[] = {
      {At("no such folder/x.txt"), FileError::CannotOpen},
      {At("plain/x.txt"), FileError::CannotOpen},  // a file where a folder should be
      {"/proc/lxr4-cannot-write-here", FileError::CannotOpen},
      {At("") + "/", FileError::CannotOpen},
      {"", FileError::CannotOpen},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(WriteFile(c.path, Bytes{1, 2}), c.error);
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"plain"});
}

TEST_F(Files, AFailedReplaceKeepsWhatWasThere) {
  // A folder of that name cannot be replaced: the rename fails after the data was written.
  fs::create_directory(dir / "taken");
  Put("taken/inside", {9});
  EXPECT_EQ(WriteFile(At("taken"), Bytes{1, 2}), FileError::CannotWrite);
  EXPECT_EQ(ReadFile(At("taken/inside"), 10), Bytes{9});

  // No free name for the temporary file: the older file survives untouched.
  Put("old.txt", {7, 7});
  for (int i = 0; i < 100; ++i) Put("old.txt.tmp" + std::to_string(i), {});
  EXPECT_EQ(WriteFile(At("old.txt"), Bytes{1}), FileError::CannotOpen);
  EXPECT_EQ(ReadFile(At("old.txt"), 10), (Bytes{7, 7}));
  for (int i = 0; i < 100; ++i) fs::remove(dir / ("old.txt.tmp" + std::to_string(i)));
  EXPECT_EQ(Names(), (std::vector<std::string>{"old.txt", "taken"}));
}

}  // namespace
}  // namespace lxr4
