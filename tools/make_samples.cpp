// Writes the sample camera images of samples/ with the truth beside each:
// lamp.km1, a mercury-neon lamp in the row-compressed layout, and star.km1,
// a star with absorption lines between sky rows with airglow, uncompressed.
// Lines sit at the columns the program's grating model gives them, so a
// calibration on lamp.km1 recovers the model. Output is deterministic.
//
//   make_samples DIR          writes DIR/{lamp,star}.km1 and DIR/{lamp,star}.truth.txt
//   make_samples --check DIR  exits 1 unless DIR holds exactly those files
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "imagefile/camera_image_reader.h"

namespace {

constexpr int kRows = 20;
constexpr int kColumns = 765;
constexpr double kBias = 100;  // the camera's zero level, in counts
constexpr double kPi = 3.14159265358979323846;

// The grating model of the program with the parameters of the samples.
struct Grating {
  double focalLength = 53.7107;  // mm
  double alpha = 9.75531;        // degrees
  double pixelSize = 9;          // micrometres
  double grooveSpacing = 3.333333;                        // micrometres
  double degreesPerRadian = static_cast<double>(57.29578f);  // single precision, as the program

  // Corrected wavelength (Angstroms) of a fractional column, ascending.
  [[nodiscard]] double Wavelength(double column) const {
    const double k = degreesPerRadian;
    const double x = column - 381;
    const double theta = std::atan(x * (pixelSize / 1000) / focalLength) * k;
    const double beta = (30 - alpha) + theta;
    const double lambda = 10000 * grooveSpacing * (std::sin(beta / k) + std::sin(-alpha / k));
    if (lambda < 5490) return lambda - 7.5 * (5500 / lambda - 1);
    if (lambda > 5510) return lambda - 7.5 * (lambda / 5500 - 1);
    return lambda;
  }

  // The fractional column of a wavelength, by bisection (the model rises with the column).
  [[nodiscard]] double Column(double wavelength) const {
    double lo = -400, hi = 1200;
    for (int i = 0; i < 100; ++i) {
      const double mid = (lo + hi) / 2;
      (Wavelength(mid) < wavelength ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
  }
};

// Fixed-seed noise that does not depend on the standard library's distributions.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : engine_(seed) {}
  double Uniform() { return (static_cast<double>(engine_()) + 0.5) / 4294967296.0; }
  double Gaussian() {  // Box-Muller
    const double u = Uniform(), v = Uniform();
    return std::sqrt(-2 * std::log(u)) * std::cos(2 * kPi * v);
  }

 private:
  std::mt19937 engine_;
};

struct Line {
  double wavelength;  // Angstroms
  double strength;    // peak counts (emission) or fractional depth (absorption)
  const char* label;
};

// Share of a Gaussian line (sigma in columns) centred at `centre` that falls in `column`.
double PixelShare(int column, double centre, double sigma) {
  const auto cdf = [&](double x) { return 0.5 * (1 + std::erf((x - centre) / (sigma * std::sqrt(2.0)))); };
  return cdf(column + 0.5) - cdf(column - 0.5);
}

// Counts of a line of peak `peak` (for sigma) in `column`.
double LineCounts(int column, double centre, double sigma, double peak) {
  return peak * sigma * std::sqrt(2 * kPi) * PixelShare(column, centre, sigma);
}

using Image = std::array<std::array<double, kColumns + 1>, kRows + 1>;  // [row][column], from 1

struct Sample {
  std::string name;
  bool compressed;
  std::vector<std::string> headerLines;
  Image counts{};
  std::string truth;
};

// Adds read noise and shot noise and rounds to stored 16-bit values.
std::vector<std::uint16_t> Expose(const Image& counts, Noise& noise) {
  std::vector<std::uint16_t> values;
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kColumns; ++c) {
      const double signal = counts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
      const double sigma = std::sqrt(16 + 0.25 * std::max(0.0, signal - kBias));
      const double v = std::nearbyint(signal + sigma * noise.Gaussian());
      values.push_back(static_cast<std::uint16_t>(std::clamp(v, 0.0, 32767.0)));
    }
  }
  return values;
}

void PutWord(std::vector<std::uint8_t>& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// One row of the compressed layout: encoded (first value, then one-byte deltas
// or escapes), or raw when encoding saves nothing. An encoded row must never
// be exactly 2 x width long, which the reader takes for a raw row.
void PutCompressedRow(std::vector<std::uint8_t>& out, const std::uint16_t* row, int width) {
  std::vector<std::uint8_t> data;
  PutWord(data, row[0]);
  for (int c = 1; c < width; ++c) {
    const int delta = row[c] - row[c - 1];
    if (delta >= -127 && delta <= 127) {
      data.push_back(static_cast<std::uint8_t>(delta & 0xFF));
    } else {
      data.push_back(128);
      PutWord(data, row[c]);
    }
  }
  if (data.size() >= static_cast<std::size_t>(2 * width)) {
    data.clear();
    for (int c = 0; c < width; ++c) PutWord(data, row[c]);
  }
  PutWord(out, static_cast<int>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
}

std::vector<std::uint8_t> CameraFile(const Sample& sample, const std::vector<std::uint16_t>& values) {
  std::vector<std::uint8_t> file;
  for (const std::string& line : sample.headerLines) {
    file.insert(file.end(), line.begin(), line.end());
    file.push_back('\n');
    file.push_back('\r');
  }
  file.resize(lxr4::kHeaderBlockBytes, 0);
  for (int r = 0; r < kRows; ++r) {
    const std::uint16_t* row = values.data() + r * kColumns;
    if (sample.compressed) {
      PutCompressedRow(file, row, kColumns);
    } else {
      for (int c = 0; c < kColumns; ++c) PutWord(file, row[c]);
    }
  }
  return file;
}

// Reads the file back with the program's reader: the values must come back,
// except column 1 of a compressed row, which the reader replaces by column 2.
bool ReadsBack(const std::vector<std::uint8_t>& file, const std::vector<std::uint16_t>& values, bool compressed) {
  const lxr4::CameraImageFile image = lxr4::ReadCameraImage(file, lxr4::ReaderStart{true, 0, 0});
  if (image.error != lxr4::ReadError::None || image.height != kRows || image.width != kColumns) return false;
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kColumns; ++c) {
      const int source = compressed && c == 1 ? 2 : c;
      if (image.at(c, r) != values[static_cast<std::size_t>((r - 1) * kColumns + source - 1)]) return false;
    }
  }
  return true;
}

std::string ModelTruth(const Grating& g) {
  std::ostringstream t;
  t.precision(10);
  t << "focal_length_mm " << g.focalLength << "\n"
    << "alpha_deg " << g.alpha << "\n"
    << "orientation ascending (wavelength rises with the column)\n"
    << "groove_spacing_um " << g.grooveSpacing << "\n"
    << "pixel_size_um " << g.pixelSize << "\n"
    << "degrees_per_radian 57.29578\n"
    << "wavelength_of_column_1_A " << g.Wavelength(1) << "\n"
    << "wavelength_of_column_765_A " << g.Wavelength(kColumns) << "\n";
  return t.str();
}

std::string LineTruth(const char* heading, std::vector<Line> lines, const Grating& g) {
  std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.wavelength < b.wavelength; });
  std::string text = std::string("# ") + heading + "\n# wavelength_A column strength label\n";
  for (const Line& line : lines) {
    std::array<char, 128> buf{};
    std::snprintf(buf.data(), buf.size(), "%.3f %.3f %g %s\n", line.wavelength, g.Column(line.wavelength),
                  line.strength, line.label);
    text += buf.data();
  }
  return text;
}

Sample Lamp(const Grating& g) {
  Sample s{"lamp", true,
           {"KM-1 Compressed Image", "Height = 20", "Width = 765", "Background = 100", "Range = 3000",
            "X_pixel_size = 0.009", "Y_pixel_size = 0.009", "Date = 12/05/99", "Time = 21:14:03", "End"},
           {}, {}};
  // Peak counts in the swath's brightest rows; the brightest stays far below 32767.
  const std::vector<Line> lines = {
      {4046.572, 4200, "Hg"}, {4358.337, 9000, "Hg"},  {5460.753, 14000, "Hg"}, {5769.598, 4300, "Hg"},
      {5790.663, 4800, "Hg"}, {6907.461, 700, "Hg"},   {5852.488, 6500, "Ne"},  {5881.895, 2600, "Ne"},
      {5944.834, 3200, "Ne"}, {5975.534, 1200, "Ne"},  {6029.997, 1900, "Ne"},  {6074.338, 2800, "Ne"},
      {6096.163, 3300, "Ne"}, {6143.063, 5200, "Ne"},  {6163.594, 2400, "Ne"},  {6217.281, 2700, "Ne"},
      {6266.495, 3600, "Ne"}, {6304.789, 2300, "Ne"},  {6334.428, 4400, "Ne"},  {6382.992, 4600, "Ne"},
      {6402.246, 9500, "Ne"}, {6506.528, 5400, "Ne"},  {6532.882, 2900, "Ne"},  {6598.953, 3400, "Ne"},
      {6678.276, 3900, "Ne"}, {6717.043, 2500, "Ne"},  {6929.467, 4700, "Ne"},  {7024.050, 1300, "Ne"},
      {7032.413, 4100, "Ne"}, {7051.292, 900, "Ne"},   {7059.107, 1000, "Ne"},  {7173.938, 2200, "Ne"},
      {7245.167, 3300, "Ne"},
  };
  // The slit's image: rows 7 to 13, fading at the edges.
  std::array<double, kRows + 1> swath{};
  const std::array<std::pair<int, double>, 9> rows{
      {{6, 0.06}, {7, 0.4}, {8, 0.8}, {9, 1.0}, {10, 1.0}, {11, 1.0}, {12, 0.8}, {13, 0.4}, {14, 0.06}}};
  for (auto [row, weight] : rows) swath[static_cast<std::size_t>(row)] = weight;
  constexpr double kSigma = 1.2;
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kColumns; ++c) {
      double v = kBias;
      for (const Line& line : lines)
        v += swath[static_cast<std::size_t>(r)] * LineCounts(c, g.Column(line.wavelength), kSigma, line.strength);
      s.counts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = v;
    }
  }
  s.truth = "# lamp.km1: mercury-neon lamp, row-compressed layout, 20 rows x 765 columns\n" + ModelTruth(g) +
            "bias_counts 100\nswath_rows 7 13 (faint rows 6 and 14)\nline_sigma_columns 1.2\nnoise_seed 1999\n" +
            LineTruth("emission lines; strength = peak counts above the bias in rows 9 to 11", lines, g);
  return s;
}

// A smooth stellar continuum seen through the spectrograph: a 5800 K black
// body times a broad instrument response, in counts per column.
double Continuum(double wavelength) {
  const double um = wavelength / 10000;
  const auto planck = [](double x) { return 1 / (std::pow(x, 5) * (std::exp(1.4388 / (x * 0.58)) - 1)); };
  const double response = std::exp(-std::pow((wavelength - 5600) / 2400, 2));
  return 7500 * planck(um) / planck(0.5) * response;
}

Sample Star(const Grating& g) {
  Sample s{"star", false,
           {"KM-1 Image", "Height = 20", "Width = 765", "Background = 100", "Range = 8500", "X_pixel_size = 0.009",
            "Y_pixel_size = 0.009", "Date = 12/05/99", "Time = 21:32:47", "End"},
           {}, {}};
  const std::vector<Line> absorption = {
      {4101.74, 0.40, "H-delta"}, {4226.73, 0.35, "Ca I"},   {4307.90, 0.30, "G band"},
      {4340.47, 0.45, "H-gamma"}, {4861.33, 0.50, "H-beta"}, {5167.32, 0.30, "Mg b"},
      {5172.68, 0.35, "Mg b"},    {5183.60, 0.38, "Mg b"},   {5269.54, 0.20, "Fe I"},
      {5889.95, 0.45, "Na D2"},   {5895.92, 0.40, "Na D1"},  {6562.85, 0.55, "H-alpha"},
      {6867.19, 0.30, "O2 B band (telluric)"},
  };
  const std::vector<Line> airglow = {
      {5577.34, 650, "[O I]"}, {5889.95, 160, "Na D2"}, {5895.92, 110, "Na D1"},
      {6300.30, 320, "[O I]"}, {6363.78, 110, "[O I]"}, {6863.96, 90, "OH"},
  };
  struct HotPixel {
    int column, row, value;
  };
  const std::array<HotPixel, 4> hot{{{123, 3, 31200}, {402, 17, 26500}, {611, 10, 29800}, {700, 1, 24100}}};
  // The star's trail across the slit: rows 7 to 13, brightest in 9 and 10.
  std::array<double, kRows + 1> swath{};
  const std::array<std::pair<int, double>, 7> rows{
      {{7, 0.25}, {8, 0.7}, {9, 1.0}, {10, 1.0}, {11, 0.85}, {12, 0.5}, {13, 0.15}}};
  for (auto [row, weight] : rows) swath[static_cast<std::size_t>(row)] = weight;
  for (int c = 1; c <= kColumns; ++c) {
    const double wavelength = g.Wavelength(c);
    double star = Continuum(wavelength);
    for (const Line& line : absorption) {
      const double sigma = line.label[0] == 'H' ? 2.2 : 1.3;  // Balmer lines are wide
      const double x = (c - g.Column(line.wavelength)) / sigma;
      star *= 1 - line.strength * std::exp(-x * x / 2);
    }
    double sky = 40;
    for (const Line& line : airglow) sky += LineCounts(c, g.Column(line.wavelength), 1.2, line.strength);
    for (int r = 1; r <= kRows; ++r)
      s.counts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
          kBias + sky + swath[static_cast<std::size_t>(r)] * star;
  }
  for (const HotPixel& p : hot)
    s.counts[static_cast<std::size_t>(p.row)][static_cast<std::size_t>(p.column)] = p.value;
  std::string hotText = "hot_pixels (column row value)";
  for (const HotPixel& p : hot)
    for (int v : {p.column, p.row, p.value}) hotText.append(" ").append(std::to_string(v));
  s.truth = "# star.km1: a star between sky rows, uncompressed layout, 20 rows x 765 columns\n" + ModelTruth(g) +
            "bias_counts 100\nsky_counts 40 in every row\nswath_rows 7 13 (brightest 9 and 10)\n" + hotText +
            "\nnoise_seed 1999\n" +
            LineTruth("absorption lines of the star; strength = fractional depth", absorption, g) +
            LineTruth("airglow emission lines of the sky, in every row; strength = peak counts", airglow, g);
  return s;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::cerr << "usage: make_samples [--check] DIR\n";
    return 2;
  }
  const std::string dir = argv[argc - 1];
  const Grating grating;
  Noise noise(1999);
  bool ok = true;
  for (const Sample& sample : {Lamp(grating), Star(grating)}) {
    const std::vector<std::uint16_t> values = Expose(sample.counts, noise);
    const std::vector<std::uint8_t> file = CameraFile(sample, values);
    if (!ReadsBack(file, values, sample.compressed)) {
      std::cerr << sample.name << ".km1 does not read back\n";
      return 1;
    }
    const std::string bytes(file.begin(), file.end());
    const std::string image = dir + "/" + sample.name + ".km1", truth = dir + "/" + sample.name + ".truth.txt";
    if (check) {
      for (const auto& [path, want] : {std::pair{image, bytes}, std::pair{truth, sample.truth}}) {
        if (ReadWhole(path) != want) {
          std::cerr << path << " differs from the generator's output\n";
          ok = false;
        }
      }
    } else {
      std::ofstream(image, std::ios::binary) << bytes;
      std::ofstream(truth, std::ios::binary) << sample.truth;
    }
  }
  return ok ? 0 : 1;
}
