// The night file's parser, good files and bad ones with their line numbers,
// lxr4-reduce's command line and its summary table.
#include "batch/night_file.h"

#include <gtest/gtest.h>

#include "batch/batch_run.h"

namespace lxr4 {
namespace {

TEST(NightFile, ReadsEverySection) {
  const NightFileResult r = ParseNightFile(R"(# the night of 1 March
[masters]
bias = ["raw/bias*.fits", 'raw/zero 2.fits']   # two patterns
dark-master = "masters/dark.fits"
flat = "raw/flat*.fits"
combine = "median"
sigma = 2.5

[calibration]
file = "night.cal"
lamps = ["raw/arc*.fits"]

[extraction]
method = "boxcar"
aperture = 5
sky = "fit"
sky-offset = 12
sky-width = 8
cosmic-rays = false
gain = 1.6
read-noise = 4
dispersion = "columns"

[ objects ]
frames = ["raw/obj#1.fits", "raw/obj\"2\".fits"]
output = "out/"
)");
  ASSERT_TRUE(r.ok()) << r.message;
  const NightPlan& p = r.plan;
  EXPECT_EQ(p.biasFrames, (std::vector<std::string>{"raw/bias*.fits", "raw/zero 2.fits"}));
  EXPECT_EQ(p.darkMaster, "masters/dark.fits");
  EXPECT_EQ(p.flatFrames, std::vector<std::string>{"raw/flat*.fits"});
  EXPECT_EQ(p.combine, CombineChoice::Median);
  EXPECT_EQ(p.sigma, 2.5);
  EXPECT_EQ(p.calibrationFile, "night.cal");
  EXPECT_EQ(p.lamps, std::vector<std::string>{"raw/arc*.fits"});
  EXPECT_EQ(p.extraction.method, ExtractionChoice::Boxcar);
  EXPECT_EQ(p.extraction.halfWidth, 5.0);
  EXPECT_EQ(p.extraction.sky.method, SkyMethod::Fit);
  EXPECT_EQ(p.extraction.sky.offset, 12);
  EXPECT_EQ(p.extraction.sky.width, 8);
  EXPECT_FALSE(p.extraction.cosmicRays);
  EXPECT_EQ(p.extraction.gain, 1.6);
  EXPECT_EQ(p.extraction.readNoise, 4);
  EXPECT_TRUE(p.alongColumns);
  EXPECT_EQ(p.objects, (std::vector<std::string>{"raw/obj#1.fits", "raw/obj\"2\".fits"}));
  EXPECT_EQ(p.output, "out/");
}

TEST(NightFile, DefaultsAndPlainLists) {
  NightFileResult r = ParseNightFile("[objects]\nframes = [\"a.fits\"]\n");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.plan.extraction.method, ExtractionChoice::Optimal);
  EXPECT_TRUE(r.plan.extraction.cosmicRays);
  EXPECT_FALSE(r.plan.extraction.halfWidth);
  EXPECT_EQ(r.plan.output, "reduced");

  r = ParseNightFile("# tonight\nraw/obj1.fits\n\n  raw/obj2*.fits  # the rest\r\n");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.plan.objects, (std::vector<std::string>{"raw/obj1.fits", "raw/obj2*.fits"}));
}

TEST(NightFile, RefusalsNameTheLine) {
  const struct {
    const char* text;
    NightFileError error;
    const char* message;
  } cases[] = {
      {"[objects]\nframes = [\"a.fits\"]\n[night]\n", NightFileError::UnknownKey,
       "line 3: unknown section [night]; a night file has [masters], [calibration], [response], [extraction] and "
       "[objects]."},
      {"[objects]\nframes = [\"a.fits\"]\nspeed = 3\n", NightFileError::UnknownKey,
       "line 3: unknown key \"speed\" in [objects]."},
      {"frames = [\"a.fits\"]\n[objects]\n", NightFileError::Syntax,
       "line 1: \"frames\" comes before any section such as [objects]."},
      {"[objects]\nframes [\"a.fits\"]\n", NightFileError::Syntax, "line 2: expected key = value."},
      {"[objects\nframes = [\"a.fits\"]\n", NightFileError::Syntax, "line 1: a section is written [name]."},
      {"[objects]\nframes = [\"a.fits\"\n", NightFileError::BadValue,
       "line 2: the value of \"frames\" is no \"text\", [\"list\", ...], number, true or false."},
      {"[objects]\noutput = out\n", NightFileError::BadValue,
       "line 2: the value of \"output\" is no \"text\", [\"list\", ...], number, true or false."},
      {"[objects]\nframes = [\"a.fits\"]\nframes = [\"b.fits\"]\n", NightFileError::Repeated,
       "line 3: \"frames\" is given twice in [objects]."},
      {"[extraction]\naperture = -2\n", NightFileError::BadValue,
       "line 2: \"aperture\" in [extraction] takes a number above 0."},
      {"[extraction]\nmethod = \"swath\"\n", NightFileError::BadValue,
       "line 2: \"method\" in [extraction] takes \"optimal\" or \"boxcar\"."},
      {"[extraction]\ncosmic-rays = \"yes\"\n", NightFileError::BadValue,
       "line 2: \"cosmic-rays\" in [extraction] takes true or false."},
      {"[masters]\nbias = 3\n", NightFileError::BadValue,
       "line 2: \"bias\" in [masters] takes a list of files, such as [\"raw/bias*.fits\"]."},
      {"[masters]\nsigma = nan\n", NightFileError::BadValue,
       "line 2: the value of \"sigma\" is no \"text\", [\"list\", ...], number, true or false."},
      {"[masters]\nbias = [\"b*.fits\"]\nbias-master = \"m.fits\"\n[objects]\nframes = [\"a.fits\"]\n",
       NightFileError::BadValue, "[masters] gives both bias frames and a bias-master; give one."},
      {"[masters]\nbias = [\"b*.fits\"]\n", NightFileError::NoObjects,
       "The night file names no object frames: [objects] frames = [...]."},
      {"# nothing\n", NightFileError::NoObjects, "The list names no object frames."},
  };
  for (const auto& c : cases) {
    const NightFileResult r = ParseNightFile(c.text);
    EXPECT_EQ(r.error, c.error) << c.text;
    EXPECT_EQ(r.message, c.message) << c.text;
  }
}

TEST(BatchCommandLine, OptionsAndTheirRefusals) {
  const auto parse = [](std::vector<std::string> args) { return ParseBatchArguments(args); };
  BatchOptionsResult r = parse({"--jobs", "3", "-n", "a.fits", "b*.fits", "--output", "spectra"});
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.options.jobs, 3);
  EXPECT_TRUE(r.options.dryRun);
  EXPECT_EQ(r.options.frames, (std::vector<std::string>{"a.fits", "b*.fits"}));
  EXPECT_EQ(r.options.output, "spectra");
  EXPECT_TRUE(parse({"--version"}).options.version);
  EXPECT_EQ(parse({"--jobs", "0", "a.fits"}).message, "--jobs takes a number of threads from 1 to 1024.");
  EXPECT_EQ(parse({"--jobs"}).message, "--jobs takes a number of threads from 1 to 1024.");
  EXPECT_EQ(parse({"--fast", "a.fits"}).message, "unknown option --fast (see lxr4-reduce --help).");
  EXPECT_EQ(parse({}).message, "name a night file or object frames (see lxr4-reduce --help).");
}

TEST(BatchSummary, OneRowAFrameAndTheFailedNamedLast) {
  FrameOutcome a;
  a.file = "obj1.fits";
  a.ok = true;
  a.exposure = 300;
  a.traceRms = 0.0512;
  a.range = "4000.0-6995.0 A";
  a.outputs = {"out/obj1.fits", "out/obj1.csv"};
  FrameOutcome b;
  b.file = "obj22.fits";
  b.reason = "obj22.fits is not a FITS file.";
  EXPECT_EQ(SummaryTable({a, b, b}),
            "file        status  exposure  trace rms  range            output\n"
            "obj1.fits   ok      300.0 s   0.051 px   4000.0-6995.0 A  obj1.fits, obj1.csv\n"
            "obj22.fits  failed  -         -          -                obj22.fits is not a FITS file.\n"
            "obj22.fits  failed  -         -          -                obj22.fits is not a FITS file.\n"
            "failed: 2 frames: obj22.fits, obj22.fits\n");
}

}  // namespace
}  // namespace lxr4
