// The import of FITS frames as camera images, on synthetic frames with known
// answers (both orientations, a window, short and tall frames, scaled floats,
// header facts) and on the real SPRAT arc frame. (Binning, the swath centred
// on the trace and the turned frame are the golden cases load-fits,
// fits-import-settings and export-fits, whose CSV files hold the sums.)
#include "imagefile/fits_import.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "imagefile/camera_image_reader.h"
#include "imagefile/fits_frame_writer.h"
#include "imagefile/fits_settings.h"

namespace lxr4 {
namespace {

FitsFrame Frame(int width, int height, const std::vector<double>& values) {
  FitsFrame f;
  f.width = width;
  f.height = height;
  f.values.assign(values.begin(), values.end());
  return f;
}

FitsFrame Scene(int width, int height, FrameScene scene, bool alongRows, double trace = 0.5) {
  return Frame(width, height, SpectrumScene(width, height, scene, alongRows, trace));
}

// The frame turned: rows become columns.
FitsFrame Turned(const FitsFrame& f) {
  std::vector<double> values(f.values.size());
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) values[static_cast<std::size_t>(x * f.height + y)] = f.at(x, y);
  FitsFrame t = Frame(f.height, f.width, values);
  t.facts = f.facts;
  return t;
}

CameraImageFile Image(const FrameImport& import) { return ReadCameraImage(import.file, {true, 0, 0}); }

TEST(FitsImport, FindsTheDispersionAxisOfStarsAndLampsEitherWay) {
  struct Size {
    int length, across;
  };
  for (const Size size : {Size{1030, 60}, Size{300, 30}, Size{4200, 366}, Size{600, 600}, Size{254, 1024}}) {
    for (const FrameScene scene : {FrameScene::Star, FrameScene::Arc}) {
      SCOPED_TRACE(std::to_string(size.length) + " along, " + std::to_string(size.across) + " across, " +
                   (scene == FrameScene::Star ? "star" : "lamp"));
      EXPECT_EQ(FindDispersionAxis(Scene(size.length, size.across, scene, true, 0.3)), DispersionAxis::Rows);
      EXPECT_EQ(FindDispersionAxis(Scene(size.across, size.length, scene, false, 0.7)), DispersionAxis::Columns);
    }
  }
}

// A traced object's swath: centred on the trace, each image row the sum of
// `swathBin` frame rows, kept inside the frame; the same rows either way round.
TEST(FitsImport, TakesASwathOfSummedRowsCentredOnAGivenPosition) {
  std::vector<double> values(900 * 60);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i % 900 + 1000 * (i / 900));
  const FitsFrame frame = Frame(900, 60, values);
  ImportOptions options{.axis = DispersionAxis::Rows, .windowStart = {}, .defaultPixelSize = 9, .swathCentre = 30, .swathBin = 2};
  const FrameImport centred = ImportFrame(frame, options);
  ASSERT_TRUE(centred.ok);
  EXPECT_EQ(centred.height, 20);
  EXPECT_EQ(centred.rowBin, 2);
  EXPECT_EQ(centred.firstRow, 12);  // rows 12..51 from 1: 31 (the centre, from 0: 30) in the middle
  EXPECT_EQ(centred.lastRow, 51);
  EXPECT_NE(centred.description.find("rows 12-51 by 2"), std::string::npos) << centred.description;
  // Swath row 0 sums frame rows 11 and 12 (from 0) at full resolution.
  EXPECT_FLOAT_EQ(centred.swath[5], static_cast<float>(values[11 * 900 + 5] + values[12 * 900 + 5]));

  options.swathCentre = 58;  // near the edge: moved inside
  const FrameImport edge = ImportFrame(frame, options);
  EXPECT_EQ(edge.firstRow, 21);
  EXPECT_EQ(edge.lastRow, 60);
  options.axis = DispersionAxis::Columns;
  const FrameImport turned = ImportFrame(Turned(frame), options);
  EXPECT_EQ(turned.swath, edge.swath);
}

// A forced axis, across the lamp lines, is the golden case fits-import-settings.
TEST(FitsImport, TakesAWindowEndingAtTheLastPixelAndAllRowsOfAShortFrame) {
  const FitsFrame frame = Scene(2000, 12, FrameScene::Arc, true);
  const FrameImport window = ImportFrame(frame, {.axis = DispersionAxis::Auto, .windowStart = 1500, .defaultPixelSize = 9, .swathCentre = {}, .swathBin = 1});
  EXPECT_EQ(window.description, "FITS 2000x12, rows 1-12, pixels 1233-2000, dispersion along rows");
  EXPECT_EQ(Image(window).at(1, 5), frame.at(1232, 4));
  EXPECT_FALSE(ImportFrame(Frame(1, 30, std::vector<double>(30, 1.0)), {.axis = DispersionAxis::Rows, .windowStart = {}, .defaultPixelSize = 9, .swathCentre = {}, .swathBin = 1}).ok);
}

TEST(FitsImport, StretchesOtherValuesOntoTheCameraRangeAndKeepsTheScale) {
  std::vector<double> values(40 * 5);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = -0.5 + 0.01 * static_cast<double>(i % 40) * static_cast<double>(i / 40);
  const FrameImport import =
      ImportFrame(Frame(40, 5, values), {.axis = DispersionAxis::Rows, .windowStart = {}, .defaultPixelSize = 9, .swathCentre = {}, .swathBin = 1});
  EXPECT_DOUBLE_EQ(import.scale.offset, -0.5);
  const CameraImageFile image = Image(import);
  EXPECT_EQ(image.at(1, 1), 0);
  EXPECT_EQ(image.at(40, 5), 32767);
  // Back in the frame's units: the value of one pixel, and a sum over 5 rows.
  EXPECT_NEAR(FrameValue(import.scale, image.at(21, 3), 1), -0.5 + 0.01 * 20 * 2, 1e-4);
  double sum = 0, frameSum = 0;
  for (int r = 1; r <= 5; ++r) sum += image.at(21, r), frameSum += values[static_cast<std::size_t>((r - 1) * 40 + 20)];
  EXPECT_NEAR(FrameValue(import.scale, sum, 5), frameSum, 1e-3);
  const ImportNotes notes = ReadImportNotes(std::span(import.file).first(2048));
  EXPECT_EQ(notes.scale, import.scale);
}

TEST(FitsImport, HeaderOfTheCameraImageFromTheFrameFacts) {
  FitsFrame frame = Scene(1030, 60, FrameScene::Star, true);
  frame.facts = {.object = "Vega", .dateObs = "2024-03-05T21:04:09.5", .timeObs = "", .exposure = 30,
                 .pixelSizeX = 4.5, .pixelSizeY = 5.0, .ra = "", .dec = "", .latitude = "", .longitude = "",
                 .height = "", .imageType = "", .biasSection = "", .trimSection = "", .binX = {}, .binY = {}};
  // The caption of a DATE-OBS with its time and the binned pixel width are
  // load-fits; the object, date, exposure and source carried to an exported
  // spectrum are read back by spectrum_export_check.py from export-fits.
  CameraImageFile image = Image(ImportFrame(frame, {}));
  EXPECT_FLOAT_EQ(*image.header.pixelHeight, 5.0f);
  const FrameImport turned = ImportFrame(Turned(frame), {});
  EXPECT_FLOAT_EQ(*Image(turned).header.pixelWidth, 10.0f);  // the second axis' size along the columns
  frame.facts = {.object = "", .dateObs = "05/03/98", .timeObs = "01:02:03", .exposure = {}, .pixelSizeX = {},
                 .pixelSizeY = {}, .ra = "", .dec = "", .latitude = "", .longitude = "", .height = "",
                 .imageType = "", .biasSection = "", .trimSection = "", .binX = {}, .binY = {}};
  image = Image(ImportFrame(frame, {.axis = DispersionAxis::Auto, .windowStart = {}, .defaultPixelSize = 6.5, .swathCentre = {}, .swathBin = 1}));
  EXPECT_EQ(image.header.captionSuffix, " captured on 03/05/98 at 01:02:03");
  EXPECT_FLOAT_EQ(*image.header.pixelWidth, 13.0f);
}

// The target and the site go into the header block as the frame's header wrote
// them and come back in the notes; a frame without them has no such lines.
TEST(FitsImport, CarriesTheTargetAndTheSiteOnlyWhenTheFrameHasThem) {
  FitsFrame frame = Scene(300, 30, FrameScene::Star, true);
  frame.facts.exposure = 30;
  const FrameImport plain = ImportFrame(frame, {});
  const std::string plainBlock(plain.file.begin(), plain.file.begin() + 2048);
  EXPECT_EQ(plainBlock.find("Target_"), std::string::npos);
  EXPECT_EQ(plainBlock.find("Site_"), std::string::npos);
  const ImportNotes none = ReadImportNotes(std::span(plain.file).first(2048));
  EXPECT_TRUE(none.ra.empty() && none.dec.empty() && none.latitude.empty() && none.longitude.empty() &&
              none.height.empty());

  frame.facts.ra = "05 35 17.3";
  frame.facts.dec = "-05:23:28";
  frame.facts.latitude = "52.2089";
  frame.facts.longitude = "-0.1";
  frame.facts.height = std::string(kMaxCoordinateText + 1, '1');  // never cut short: left out
  const FrameImport placed = ImportFrame(frame, {});
  const ImportNotes notes = ReadImportNotes(std::span(placed.file).first(2048));
  EXPECT_EQ(notes.ra, "05 35 17.3");
  EXPECT_EQ(notes.dec, "-05:23:28");
  EXPECT_EQ(notes.latitude, "52.2089");
  EXPECT_EQ(notes.longitude, "-0.1");
  EXPECT_EQ(notes.height, "");
  EXPECT_EQ(notes.exposure, 30);
  // Only the new lines differ: the rest of the block is the same bytes.
  std::string placedBlock(placed.file.begin(), placed.file.begin() + 2048);
  for (const char* key : {"Target_ra = ", "Target_dec = ", "Site_latitude = ", "Site_longitude = "}) {
    const std::size_t at = placedBlock.find(key);
    ASSERT_NE(at, std::string::npos) << key;
    placedBlock.erase(at, placedBlock.find('\r', at) + 1 - at);
  }
  placedBlock.resize(2048, 0);
  EXPECT_EQ(placedBlock, plainBlock);
}

// The SPRAT xenon arc (1024 x 254, dispersion along the first axis): its listed
// lines stand out as peaks of the imported image's column sums.
TEST(FitsImport, RealArcFrameShowsItsLinesWhereTheyWereIdentified) {
  const std::string dir = LXR4_SOURCE_DIR "/tests/imagefile/data/";
  std::ifstream in(dir + "v_a_20190516_55_1_0_1.fits", std::ios::binary);
  ASSERT_TRUE(in) << "no real frame at " << dir;
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const FitsFileImport fits = ImportFitsFile(bytes, {}, LXR4_FITS_DECODER);
  ASSERT_EQ(fits.error, FitsError::None);
  const FrameImport& import = fits.image;
  EXPECT_EQ(import.axis, DispersionAxis::Rows);
  EXPECT_EQ(import.width, 512);
  const CameraImageFile image = Image(import);
  std::vector<long> columns(static_cast<std::size_t>(image.width) + 1);
  for (int k = 1; k <= image.width; ++k)
    for (int r = 1; r <= image.height; ++r) columns[static_cast<std::size_t>(k)] += image.at(k, r);
  std::ifstream lines(dir + "ground_truth_v_a.csv");
  int listed = 0, peaks = 0;
  for (int pixel; lines >> pixel;) {
    lines.ignore(1000, '\n');
    const int k = pixel / 2 + 1;  // frame pixel (from 0) in the column binned by 2
    if (k < 4 || k > image.width - 3) continue;
    ++listed;
    long best = 0;
    for (int j = k - 3; j <= k + 3; ++j) best = std::max(best, columns[static_cast<std::size_t>(j)]);
    const long around = (columns[static_cast<std::size_t>(k - 3)] + columns[static_cast<std::size_t>(k + 3)]) / 2;
    if (best > around) ++peaks;
  }
  EXPECT_GE(listed, 20);
  EXPECT_GE(peaks, listed * 9 / 10);
}

// The Liverpool Telescope's header: RA/DEC as texts, LATITUDE/LONGITUD as
// numbers east positive (La Palma lies 17.88 degrees west), and an ALTITUDE
// that is the tube's altitude, 82.86 degrees, not the site's height.
TEST(FitsImport, RealArcFrameCarriesItsTargetAndSite) {
  std::ifstream in(LXR4_SOURCE_DIR "/tests/imagefile/data/v_a_20190516_55_1_0_1.fits", std::ios::binary);
  ASSERT_TRUE(in) << "no real frame";
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const FitsFileImport fits = ImportFitsFile(bytes, {}, LXR4_FITS_DECODER);
  ASSERT_EQ(fits.error, FitsError::None);
  const ImportNotes notes = ReadImportNotes(std::span(fits.image.file).first(2048));
  EXPECT_EQ(notes.ra, "15:51:59.857");
  EXPECT_EQ(notes.dec, "32:56:54.82");
  EXPECT_EQ(notes.latitude, "28.762400");
  EXPECT_EQ(notes.longitude, "-17.879200");
  EXPECT_EQ(notes.height, "");
}

// The pixel size the FITS Import dialog takes: last valid, first invalid and
// degenerate at both ends (a denormal would make the dispersion no number).
TEST(FitsImportSettings, PixelSizeFromATenthToAThousandMicrometres) {
  const struct {
    const char* text;
    bool taken;
  } cases[] = {{"0.1", true}, {"0.0999", false}, {"1e-320", false}, {"0", false},
               {"1000", true}, {"1000.5", false}, {"inf", false}, {"nan", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    FitsImportFields fields;
    fields.pixelSize = c.text;
    EXPECT_EQ(std::holds_alternative<FitsSettings>(CheckFitsImportFields(fields)), c.taken);
  }
}

}  // namespace
}  // namespace lxr4
