// The untrusted-file boundary of FITS loads: crafted files that crash, hang or
// exhaust cfitsio are refused within two seconds and this process goes on;
// valid frames that an earlier reader refused load; a missing, hanging,
// crashing or babbling decoder is a refused file, never a stuck program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imagefile/camera_image_reader.h"
#include "imagefile/fits_frame_writer.h"
#include "imagefile/fits_import.h"
#include "imagefile/fits_reader.h"
#include "imagefile/gzip.h"
#include "tests/imagefile/fits_cards.h"

namespace lxr4 {
namespace {

using namespace fits_cards;
const std::string kDecoder = LXR4_FITS_DECODER;
constexpr double kSecondsAllowed = 2.0;

struct Timed {
  FitsReadResult read;
  double seconds = 0;
};

Timed Read(const Bytes& file, const std::string& decoder = kDecoder) {
  const auto start = std::chrono::steady_clock::now();
  Timed t{ReadFitsFrame(file, decoder), 0};
  t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return t;
}

// The offset of the first card of `file` that starts with `text` (after `seen`
// such cards before it).
std::size_t FindCard(const Bytes& file, const std::string& text, int seen = 0) {
  for (std::size_t at = 0; at + 80 <= file.size(); at += 80)
    if (std::equal(text.begin(), text.end(), file.begin() + static_cast<std::ptrdiff_t>(at)) && seen-- == 0)
      return at;
  ADD_FAILURE() << "no card " << text;
  return 0;
}

// `file` with the card of `key` replaced by "KEY = value", or, when `insertInHdu`
// names an HDU (from 1), the card added at the end of that HDU's header.
Bytes WithCard(Bytes file, const std::string& key, const std::string& value, int insertInHdu = 0) {
  const std::string card = CardText(CardText(key).substr(0, 8) + "= " + value), end = CardText("END");
  const std::size_t at = insertInHdu == 0 ? FindCard(file, CardText(key).substr(0, 8))
                                          : FindCard(file, end, insertInHdu - 1);
  if (insertInHdu != 0)  // END moves down a card
    std::copy(end.begin(), end.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 80));
  std::copy(card.begin(), card.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
  return file;
}

// A tile-compressed frame, 64 x 48 in tiles of 16 rows: three tiles in its heap.
Bytes Tiled(int bitpix) {
  FrameFile shape;
  shape.width = 64;
  shape.height = 48;
  shape.bitpix = bitpix;
  shape.tileCompressed = true;
  return WriteFrameFile(shape, SpectrumScene(64, 48, FrameScene::Arc, true)).value();
}

// The integer value of the first card of `key`.
long long CardValue(const Bytes& file, const std::string& key) {
  const auto at = static_cast<std::ptrdiff_t>(FindCard(file, CardText(key).substr(0, 8)));
  return std::stoll(std::string(file.begin() + at + 10, file.begin() + at + 80));
}

// The start of the data of a tile-compressed frame's extension (after its header).
std::size_t ExtensionData(const Bytes& file) {
  return (FindCard(file, CardText("END"), 1) + 80 + 2879) / 2880 * 2880;
}

// The FITS data sum: big-endian 32-bit words added with the carry brought around.
std::uint32_t DataSum(std::span<const std::uint8_t> data) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i + 4 <= data.size(); i += 4)
    sum += std::uint64_t{data[i]} << 24 | std::uint64_t{data[i + 1]} << 16 | std::uint64_t{data[i + 2]} << 8 | data[i + 3];
  while (sum >> 32) sum = (sum & 0xffffffff) + (sum >> 32);
  return static_cast<std::uint32_t>(sum);
}

// A tile-compressed frame whose extension carries the sum of its data, then
// has its heap overwritten with a pattern after the first bytes.
Bytes DamagedHeap(const Bytes& tiled) {
  const std::size_t data = ExtensionData(tiled);
  Bytes file = WithCard(tiled, "DATASUM", "'" + std::to_string(DataSum(std::span(tiled).subspan(data))) + "'", 2);
  const std::size_t heap = data + static_cast<std::size_t>(CardValue(file, "NAXIS1") * CardValue(file, "NAXIS2"));
  const auto heapBytes = static_cast<std::size_t>(CardValue(file, "PCOUNT"));
  for (std::size_t i = 4; i < heapBytes; ++i) file[heap + i] = static_cast<std::uint8_t>(i * 37 + 11);
  return file;
}

// gzip of `prefix` followed by `zeros` zero bytes, deflated as it goes.
Bytes GzipBomb(const Bytes& prefix, std::size_t zeros) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
  Bytes out;
  Bytes chunk(std::size_t{1} << 20, 0);
  std::vector<std::uint8_t> buffer(std::size_t{1} << 16);
  const auto pump = [&](const std::uint8_t* data, std::size_t size, int flush) {
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    do {
      z.next_out = buffer.data();
      z.avail_out = static_cast<uInt>(buffer.size());
      deflate(&z, flush);
      out.insert(out.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
    } while (z.avail_out == 0);
  };
  pump(prefix.data(), prefix.size(), Z_NO_FLUSH);
  for (std::size_t left = zeros; left > 0;) {
    const std::size_t take = std::min(left, chunk.size());
    pump(chunk.data(), take, Z_NO_FLUSH);
    left -= take;
  }
  pump(nullptr, 0, Z_FINISH);
  deflateEnd(&z);
  return out;
}

TEST(FitsBoundary, RefusesCraftedFilesInTime) {
  const Bytes rice = Tiled(16);
  const Bytes ditherRice = Tiled(-32);
  const Bytes zeroBomb = GzipBomb({}, std::size_t{3} << 29);  // 1.5 GiB of zeros in about 1.5 MB
  const Bytes bombHead =
      Concatenated(EmptyPrimary(), Extension("BINTABLE", 8, {1024, 1572864}, {"TFIELDS = 0"}));
  // A 40 x 30 frame of 16 bits, every data byte 7, with `extra` cards.
  const auto image = [](std::vector<std::string> more) { return Primary(16, {40, 30}, more, 2400, 7); };
  const Bytes foobar = Concatenated(EmptyPrimary(), Extension("FOOBAR", 16, {40, 30}, {}, 2400, 0, 7));
  struct Case {
    const char* name;
    Bytes file;
    FitsError error = FitsError::None;  // None: any refusal but Unavailable
  };
  const std::vector<Case> cases = {
      {"NAXIS = 999", Header({"SIMPLE  = T", "BITPIX  = 8", "NAXIS   = 999"}, 0), FitsError::BadAxes},
      {"Rice heap damaged", DamagedHeap(rice)},
      {"GZIP tiles of garbage", WithCard(DamagedHeap(rice), "ZCMPTYPE", "'GZIP_1  '")},
      {"PLIO tiles of garbage", WithCard(DamagedHeap(rice), "ZCMPTYPE", "'PLIO_1  '")},
      {"THEAP = 2^31-1", WithCard(rice, "THEAP", "2147483647", 2), FitsError::Corrupt},
      {"ZDITHER0 = 2^31-1", WithCard(ditherRice, "ZDITHER0", "2147483647")},
      {"Rice ZVAL1 not named BLOCKSIZE", WithCard(rice, "ZNAME1", "'NOTBLOCK'")},
      {"Rice BLOCKSIZE 0", WithCard(rice, "ZVAL1", "0")},
      {"tiles not matching the table", WithCard(rice, "ZTILE2", "1")},
      {"tile larger than the image", WithCard(rice, "ZTILE1", "100000")},
      {"gzip bomb of zeros", zeroBomb},
      {"gzip bomb behind a 1.5 GB table", Concatenated(Gzip(bombHead), zeroBomb)},
      {"BSCALE NaN", image({"BSCALE  = NaN"})},
      {"BSCALE Inf", image({"BSCALE  = Inf"})},
      {"BSCALE text", image({"BSCALE  = 'two'"})},
      {"BZERO text", image({"BZERO   = 'x'"}), FitsError::BadScale},
      {"BSCALE denormal", image({"BSCALE  = 1e-320"}), FitsError::BadScale},
      {"BSCALE 0", image({"BSCALE  = 0"})},
      {"BZERO NaN", image({"BSCALE  = 1", "BZERO   = NaN"})},
      {"BZERO beyond a double", image({"BZERO   = 1e999"})},
      {"XTENSION = 'FOOBAR'", foobar},
      {"a header card of control characters", WithCard(image({}), "NAXIS2", "30 / \x01\x02")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Timed t = Read(c.file);
    EXPECT_NE(t.read.error, FitsError::None);
    EXPECT_NE(t.read.error, FitsError::Unavailable);
    if (c.error != FitsError::None) {
      EXPECT_EQ(t.read.error, c.error);
    }
    EXPECT_TRUE(t.read.frame.values.empty());
    EXPECT_LT(t.seconds, kSecondsAllowed);
  }
  EXPECT_EQ(Read(image({"BSCALE  = 2.5D0"})).read.error, FitsError::None);  // the D exponent of old writers
}

TEST(FitsBoundary, ReadsEveryMemberOfAGzipFile) {
  FrameFile shape;
  shape.width = 300;
  shape.height = 30;
  const Bytes plain = WriteFrameFile(shape, SpectrumScene(300, 30, FrameScene::Star, true)).value();
  const std::size_t half = plain.size() / 2 + 123;
  const Bytes members = Concatenated(Gzip(std::span(plain).first(half)), Gzip(std::span(plain).subspan(half)));
  const Bytes trailing = Concatenated(Gzip(plain), {0, 0, 0, 'x'});  // bytes after the stream are not gzip: left
  const FitsReadResult expected = ReadFitsFrame(plain, kDecoder);
  ASSERT_EQ(expected.error, FitsError::None);
  for (const Bytes& file : {members, trailing}) {
    const FitsReadResult r = ReadFitsFrame(file, kDecoder);
    ASSERT_EQ(r.error, FitsError::None);
    EXPECT_TRUE(r.frame.gzipped);
    EXPECT_EQ(r.frame.values, expected.frame.values);
  }
}

// Bytes in the pixel data that happen to look like a header card with control
// characters belong to the data, not to a header.
TEST(FitsBoundary, PixelDataIsNotHeldToTheRulesOfCards) {
  Bytes file = Primary(8, {80, 3}, {}, 240, 50);
  const std::string row = "EXPTIME = ";
  std::copy(row.begin(), row.end(), file.begin() + 2880);
  file[2880 + 20] = 1;
  const FitsReadResult r = ReadFitsFrame(file, kDecoder);
  ASSERT_EQ(r.error, FitsError::None);
  EXPECT_EQ(r.frame.at(20, 0), 1.0f);
}

// A long frame binned to 768 columns: each image column is many camera pixels
// wide, beyond the 1 mm a camera pixel may be, and loads.
TEST(FitsBoundary, LongBinnedFramesLoadWithTheirCameraPixels) {
  struct Case {
    int width;
    double pixel;  // micrometres
    int bin;
  };
  for (const Case& c : {Case{40000, 24, 53}, Case{65536, 13.5, 86}}) {
    SCOPED_TRACE(c.width);
    FrameFile shape;
    shape.width = c.width;
    shape.height = 20;
    shape.numberKeys = {{"XPIXSZ", c.pixel}};
    const Bytes file = WriteFrameFile(shape, SpectrumScene(c.width, 20, FrameScene::Arc, true)).value();
    const FitsFileImport fits = ImportFitsFile(file, {}, kDecoder);
    ASSERT_EQ(fits.error, FitsError::None);
    ASSERT_TRUE(fits.image.ok);
    EXPECT_EQ(fits.image.bin, c.bin);
    const CameraImageFile image = ReadCameraImage(fits.image.file, {true, 0, 0, fits.image.bin});
    ASSERT_EQ(image.error, ReadError::None);
    EXPECT_NEAR(*image.header.pixelWidth, c.pixel * c.bin, 0.01);  // micrometres, single precision
    // The same header read as a camera's own file: no camera pixel is that wide.
    EXPECT_EQ(ReadCameraImage(fits.image.file, {true, 0, 0, 1}).error, ReadError::BadHeaderValue);
  }
}

// Stand-in decoders in a scratch folder: shell scripts that misbehave.
class FakeDecoder : public ::testing::Test {
 protected:
  std::string Script(const std::string& name, const std::string& body) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "lxr4-fits-boundary-test";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), 0755);
    return path.string();
  }
  const Bytes frame_ = Primary(16, {4, 3}, {}, 24);
};

TEST_F(FakeDecoder, MissingDecoderMeansNoFitsSupport) {
  EXPECT_EQ(Read(frame_, "/nonexistent/lxr4-fits-decoder").read.error, FitsError::Unavailable);
  EXPECT_EQ(Read(frame_, "").read.error, FitsError::Unavailable);
}

TEST_F(FakeDecoder, MisbehavingDecodersAreRefusedFiles) {
  struct Case {
    const char* name;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"hangs", "exec sleep 60"},
      {"hangs after closing its socket", "exec <&- >&- ; exec sleep 60"},
      {"crashes", "kill -SEGV $$"},
      {"echoes its input", "exec cat"},
      {"answers nothing", "exit 0"},
      {"fails", "exit 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Timed t = Read(frame_, Script(std::string("decoder-") + std::to_string(&c - cases.data()), c.body));
    EXPECT_EQ(t.read.error, FitsError::DecoderFailed);
    EXPECT_LT(t.seconds, kSecondsAllowed + 0.5);  // the clock's own margin
  }
}

}  // namespace
}  // namespace lxr4
