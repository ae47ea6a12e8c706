// Export Spectrum... in the Spectrum view's frame: the star, calibrated on the
// lamp as in the golden case export-csv, exported once as the defaults leave it
// and once in nm, in vacuum, in the rest frame of +30 km/s and divided by its
// continuum; the second file's numbers come from the first's. Refusals leave
// nothing behind.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "calibration/air_vacuum.h"
#include "measure/continuum.h"
#include "measure/shown_wavelength.h"
#include "output/handlers.h"
#include "script/recording_window.h"
#include "script/script_runner.h"
#include "script/script_window.h"
#include "tests/script/scratch_folder.h"

namespace lxr4 {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCalibratedStar =
    "open star.km1\nclick cmdload\nopen lamp.km1\nclick cmdload2\n"
    "select cboscale 3\nset hsbspectra 300\nclick cmdmarkline1\n"
    "select cboscale 22\nset hsbspectra 480\nclick cmdmarkline2\nclick cmdcalcspectra\n";

struct Csv {
  std::string header;
  std::vector<double> wavelength, value;
};

// The program after `script`, with its transcript; Export() saves through the handler itself.
struct ExportFrame : ScratchFolder {
  fs::path home = fs::current_path();
  ScriptWindow window;
  std::ostringstream out;
  Transcript transcript{out};
  RecordingWindow recording{window, transcript};
  App app{recording};

  void SetUp() override {
    ScratchFolder::SetUp();
    for (const char* name : {"star.km1", "lamp.km1"})
      fs::copy_file(fs::path(LXR4_SAMPLES_DIR) / name, dir / name);
    fs::current_path(dir);
    window.SetSink(&app);
  }
  void TearDown() override {
    fs::current_path(home);
    ScratchFolder::TearDown();
  }
  void Run(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream errors;
    ASSERT_EQ(RunScript(in, app, window, transcript, errors), kScriptOk) << errors.str();
  }
  void Export(const std::string& path, int type) {
    window.Answers().saves.Push(SaveAnswer{path, type});
    exportSpectrum_Click(app);
  }
  static std::string Contents(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
  }
  static Csv Read(const fs::path& path) {
    std::istringstream in(Contents(path));
    Csv csv;
    std::getline(in, csv.header);
    double pixel = 0, wavelength = 0, value = 0;
    char comma = 0;
    while (in >> pixel >> comma >> wavelength >> comma >> value) {
      csv.wavelength.push_back(wavelength);
      csv.value.push_back(value);
    }
    return csv;
  }
};

TEST_F(ExportFrame, CsvFollowsTheViewsUnitsMediumShiftAndNormalisation) {
  Run(std::string(kCalibratedStar) + "save plain.csv 3\nmenu exportSpectrum\n");
  app.s.View.units = ViewUnits::Nanometre;
  app.s.View.vacuum = true;
  app.s.View.shiftKms = 30;
  app.s.View.normalise = true;
  Export("framed.csv", 3);
  Export("framed.fits", 1);

  // H-alpha: 6562.80 A in air is 6564.613 in vacuum (Morton 2000), then
  // divided by sqrt((1 + b) / (1 - b)) = 1.0001000742 for +30 km/s, in nm.
  EXPECT_NEAR(ShownWavelength(6562.80, ViewFrame(app.s)), 656.395610, 1e-6);

  const Csv plain = Read("plain.csv"), framed = Read("framed.csv");
  EXPECT_EQ(plain.header, "pixel,wavelength_angstrom,value\r");
  EXPECT_EQ(framed.header, "pixel,wavelength_vacuum_rest_30kms_nm,normalised_value\r");
  ASSERT_EQ(plain.wavelength.size(), 765u);
  ASSERT_EQ(framed.wavelength.size(), plain.wavelength.size());
  // The native wavelengths are singles, written with a single's shortest digits.
  std::vector<double> native;
  for (const double w : plain.wavelength) native.push_back(static_cast<float>(w));
  const double beta = 30 / 299792.458, doppler = std::sqrt((1 + beta) / (1 - beta));
  const auto continuum = NormaliseContinuum(native, plain.value, NormalisationOptions({}));
  ASSERT_TRUE(continuum.ok()) << continuum.message;
  for (std::size_t i = 0; i < native.size(); ++i) {
    SCOPED_TRACE(i + 1);
    // Doubles written with the shortest digits that read back: 1e-9 nm is only rounding.
    EXPECT_NEAR(framed.wavelength[i], AirToVacuum(native[i]) / doppler / 10, 1e-9);
    EXPECT_DOUBLE_EQ(framed.value[i], continuum.normalised[i]);
  }

  const std::string fits = Contents("framed.fits");
  for (const char* card : {"CUNIT1  = 'nm      '", "AIRORVAC= 'vac     '", "VELSHIFT=                  30.",
                           "CONTNORM=                    T", "BUNIT   = '        '"})
    EXPECT_NE(fits.find(card), std::string::npos) << card;
}

// The lamp graphed goes out as it is: the view divides only the object.
TEST_F(ExportFrame, TheLampIsNeverNormalised) {
  Run(std::string(kCalibratedStar) + "click Cmdcalccal\nsave plain.csv 3\nmenu exportSpectrum\n");
  app.s.View.normalise = true;
  Export("lamp.csv", 3);
  EXPECT_EQ(Contents("lamp.csv"), Contents("plain.csv"));
}

TEST_F(ExportFrame, RefusedNormalisationSavesNothingAndSaysWhy) {
  const struct {
    std::string script;
    std::vector<std::pair<double, double>> continuum;
    std::string message;
  } cases[] = {
      {"open star.km1\nclick cmdload\n",
       {},
       "msgbox \"The Spectrum view shows the spectrum divided by its continuum, which needs a calibration"},
      {kCalibratedStar,
       {{100, 200}},
       "msgbox \"The spectrum could not be divided by its continuum: Too few continuum points for a "
       "polynomial "
       "of that order. Nothing was saved.\"\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    Run(c.script);
    app.s.View.normalise = true;
    app.s.View.continuum = c.continuum;
    Export("star.csv", 3);
    EXPECT_NE(out.str().find(c.message), std::string::npos) << out.str();
    EXPECT_FALSE(fs::exists("star.csv"));
  }
}

}  // namespace
}  // namespace lxr4
