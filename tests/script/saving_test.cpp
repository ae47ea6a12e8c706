// Saves and reads of the whole program, run from session scripts in a scratch
// folder: no save replaces a loaded image, Print to PDF... writes a real PDF
// file, and files of more than 1 MiB read back whole (a save past the file
// size limit: file_size_limit.sh and files_test.cpp).
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>

#include "tests/script/run_session.h"
#include "tests/script/scratch_folder.h"

namespace lxr4 {
namespace {

namespace fs = std::filesystem;

struct Saving : ScratchFolder {
  fs::path home = fs::current_path();
  void SetUp() override {
    ScratchFolder::SetUp();
    fs::copy_file(fs::path(LXR4_SAMPLES_DIR) / "star.km1", dir / "star.km1");
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(home);
    ScratchFolder::TearDown();
  }
  // The transcript of `script` run against the program in the scratch folder.
  static std::string Run(const std::string& script) {
    const Session s = RunSession(script);
    EXPECT_EQ(s.status, 0) << s.errors;
    return s.transcript;
  }
  static std::string Contents(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
  }
};

constexpr const char* kLoadStar = "open star.km1\nclick cmdload\n";

// Every save the user can name refuses the loaded image with the same words,
// and the image stays byte for byte.
TEST_F(Saving, NoSaveReplacesTheLoadedImage) {
  const std::string image = Contents("star.km1");
  const std::string refused = " would replace a loaded image file; nothing was saved.\"\n";
  const struct {
    std::string save, path;
  } cases[] = {
      {"input star\nclick cmdstrip\n", "star.km1"},
      {"save star.km1 3\nmenu exportSpectrum\n", "star.km1"},
      {"save ./star.km1 2\nmenu exportSpectrum\n", "./star.km1"},
      {"save star.km1\nmenu printPdf\n", "star.km1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.save);
    const std::string t = Run(kLoadStar + c.save);
    EXPECT_NE(t.find("msgbox \"The file " + c.path + refused), std::string::npos);
    EXPECT_EQ(t.find("printer setup"), std::string::npos);
    EXPECT_EQ(Contents("star.km1"), image);
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"star.km1"});
}

// Print to PDF... writes the page as a one-page PDF document, A4 turned. (The
// golden case print-pdf shows the messages and a failing printer leaving the
// file; a folder that is not there is files_test.)
TEST_F(Saving, PrintToPdfWritesAOnePageA4LandscapeFile) {
  Run(std::string(kLoadStar) + "save page.pdf\nmenu printPdf\n");
  const std::string pdf = Contents("page.pdf");
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 842 595 ]"), std::string::npos);
  EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
}

// A calibration whose long labels take it past 1 MiB opens with all 24 lines.
TEST_F(Saving, ACalibrationPastOneMebibyteOpensWhole) {
  std::string text =
      "LXR4 calibration 1\ngroove_density 300\ndeviation_angle 30\nreference_column 381\ncorrection on\n"
      "pixel_size none\nmodel grating\npixel_width 9\nfocal_length 53.706028809728565\n"
      "alpha_angle 9.755317541441329\ntheta_zero_column 381\norientation ascending\n";
  for (int i = 0; i < 24; ++i)
    text += "line " + std::to_string(4000 + 100 * i) + " " + std::to_string(10 + 30 * i) + " used " +
            std::string(44000, 'x') + "\n";
  ASSERT_GT(text.size(), std::size_t{1} << 20);
  std::ofstream("long.cal", std::ios::binary) << text;
  const std::string t = Run("open long.cal\nmenu openCalibrationFile\nstate LineCount\n");
  EXPECT_NE(t.find("state LineCount 24\n"), std::string::npos);
}

// A camera image is read whole: with trailing bytes past 1 MiB it loads as
// before; past the 16 MB limit it is refused by name and nothing changes.
TEST_F(Saving, ACameraImageIsReadWholeOrRefusedByName) {
  const std::string image = Contents("star.km1");
  std::ofstream("tail.km1", std::ios::binary) << image << std::string(std::size_t{3} << 19, '\0');
  std::ofstream("huge.km1", std::ios::binary) << image << std::string(std::size_t{16} << 20, '\0');
  std::string t = Run("open tail.km1\nclick cmdload\nstate ObjectLoaded\n");
  EXPECT_NE(t.find("caption lblfiledata1 \"tail.km1\"\n"), std::string::npos);
  EXPECT_NE(t.find("state ObjectLoaded -1\n"), std::string::npos);
  t = Run("open huge.km1\nclick cmdload\nstate ObjectLoaded\n");
  EXPECT_NE(t.find("msgbox \"huge.km1 is larger than 16 MB and was not read.\"\n"), std::string::npos);
  EXPECT_NE(t.find("state ObjectLoaded 0\n"), std::string::npos);
}

}  // namespace
}  // namespace lxr4
