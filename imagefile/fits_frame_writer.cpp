#include "imagefile/fits_frame_writer.h"

#include "imagefile/cfitsio.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "imagefile/fits_memory_writer.h"
#include "imagefile/gzip.h"

namespace lxr4 {

std::optional<std::vector<std::uint8_t>> WriteFrameFile(const FrameFile& shape, std::span<const double> values) {
  FitsMemoryWriter w;
  fitsfile* f = w.get();
  if (f == nullptr) return std::nullopt;
  if (shape.inExtension && !shape.tileCompressed) fits_create_img(f, BYTE_IMG, 0, nullptr, &w.status);
  long axes[3] = {shape.width, shape.height, shape.planes};
  if (shape.tileCompressed) {
    fits_set_compression_type(f, RICE_1, &w.status);
    long tile[3] = {shape.width, std::min(shape.height, 16), 1};  // several rows to a tile
    fits_set_tile_dim(f, 3, tile, &w.status);
  }
  fits_create_img(f, shape.bitpix, shape.planes > 1 ? 3 : 2, axes, &w.status);
  const double zero = shape.bzero.value_or(0), scale = shape.bscale.value_or(1);
  if (shape.bzero || shape.bscale) {
    fits_write_key(f, TDOUBLE, "BZERO", const_cast<double*>(&zero), nullptr, &w.status);
    fits_write_key(f, TDOUBLE, "BSCALE", const_cast<double*>(&scale), nullptr, &w.status);
  }
  for (const auto& [key, text] : shape.textKeys)
    fits_write_key(f, TSTRING, key.c_str(), const_cast<char*>(text.c_str()), nullptr, &w.status);
  for (auto [key, number] : shape.numberKeys) fits_write_key(f, TDOUBLE, key.c_str(), &number, nullptr, &w.status);
  for (const std::string& line : shape.history) fits_write_history(f, line.c_str(), &w.status);
  // Stored values in the image's own type: cfitsio converts no types into compressed images.
  fits_set_bscale(f, 1, 0, &w.status);
  long long first[3] = {1, 1, 1};
  const auto count = static_cast<long long>(values.size());
  std::vector<double> raw(values.begin(), values.end());
  for (double& v : raw) v = shape.bitpix > 0 ? std::round((v - zero) / scale) : (v - zero) / scale;
  const auto write = [&]<typename T>(int type, T) {
    std::vector<T> typed(raw.begin(), raw.end());
    fits_write_pixll(f, type, first, count, typed.data(), &w.status);
  };
  switch (shape.bitpix) {
    case BYTE_IMG: write(TBYTE, std::uint8_t{}); break;
    case SHORT_IMG: write(TSHORT, std::int16_t{}); break;
    case LONG_IMG: write(TINT, std::int32_t{}); break;
    case LONGLONG_IMG: write(TLONGLONG, std::int64_t{}); break;
    case FLOAT_IMG: write(TFLOAT, float{}); break;
    default: write(TDOUBLE, double{}); break;
  }
  auto bytes = w.Finish();
  if (bytes && shape.gzipped) return Gzip(*bytes);
  return bytes;
}

std::vector<double> SpectrumScene(int width, int height, FrameScene scene, bool alongRows, double trace) {
  const int length = alongRows ? width : height, across = alongRows ? height : width;
  std::vector<double> values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::uint32_t seed = 2024;
  constexpr double kLines[7][2] = {{0.08, 0.4}, {0.21, 1.0}, {0.33, 0.25}, {0.47, 0.7}, {0.6, 0.5}, {0.74, 0.9}, {0.88, 0.3}};
  const auto gauss = [](double x, double centre, double sigma) {
    return std::exp(-0.5 * (x - centre) * (x - centre) / (sigma * sigma));
  };
  for (int a = 0; a < across; ++a) {
    for (int d = 0; d < length; ++d) {
      const double u = (d + 0.5) / length, v = (a + 0.5) / across;
      double signal = 0;
      if (scene == FrameScene::Star) {
        double continuum = 1000 * (0.6 + 0.4 * u);
        for (const auto& line : kLines) continuum *= 1 - 0.6 * line[1] * gauss(u * length, line[0] * length, 1.5);
        signal = continuum * gauss(a + 0.5, trace * across, 2.0);
      } else if (std::abs(v - 0.5) < 0.4) {
        for (const auto& line : kLines) signal += 5000 * line[1] * gauss(u * length, line[0] * length, 1.2);
      }
      seed = seed * 1664525u + 1013904223u;
      const double noise = static_cast<double>(seed >> 28) - 7.5;
      const std::size_t i = alongRows ? static_cast<std::size_t>(a) * static_cast<std::size_t>(width) + static_cast<std::size_t>(d)
                                      : static_cast<std::size_t>(d) * static_cast<std::size_t>(width) + static_cast<std::size_t>(a);
      values[i] = std::round(100 + signal + noise);
    }
  }
  return values;
}

}  // namespace lxr4
