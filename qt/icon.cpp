#include "qt/icon.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QPixmap>

namespace lxr4 {

namespace {

// Colours of the classic sixteen-colour palette.
constexpr QRgb kBlack = 0xff000000, kNavy = 0xff000080, kPurple = 0xff800080,
               kMaroon = 0xff800000, kGrey = 0xff808080, kBlue = 0xff0000ff,
               kLime = 0xff00ff00, kCyan = 0xff00ffff, kRed = 0xffff0000,
               kYellow = 0xffffff00, kWhite = 0xffffffff;

// Violet to deep red, the order of a spectrum.
constexpr std::array kRainbow{kPurple, kBlue, kCyan, kLime, kYellow, kRed, kMaroon};

// Height of the line profile above the baseline at fraction f of the width:
// a tall lamp line and a faint neighbour.
double Profile(double f) {
  const auto peak = [f](double centre, double width) {
    return std::exp(-(f - centre) * (f - centre) / (width * width));
  };
  return peak(0.62, 0.07) + 0.3 * peak(0.22, 0.05);
}

}  // namespace

QImage IconImage(int size) {
  const int n = std::max(size, 16);
  const int u = n / 16;  // one pixel of the 16-pixel design
  QImage image(n, n, QImage::Format_RGB32);
  image.fill(kNavy);
  const int graphBottom = n * 9 / 16;
  const int inner = n - 2 * u;
  for (int y = graphBottom; y < n; ++y)
    for (int x = u; x < n - u; ++x) {
      const bool band = y >= graphBottom + u && y < n - 2 * u;
      const auto hue = static_cast<std::size_t>((x - u) * static_cast<int>(kRainbow.size()) / inner);
      image.setPixel(x, y, band ? kRainbow[hue] : kBlack);
    }
  // Two dark absorption lines, where there is room for them.
  if (n >= 32)
    for (const double f : {0.31, 0.66})
      for (int y = graphBottom + u; y < n - 2 * u; ++y)
        for (int x = u + static_cast<int>(f * inner); x < u + static_cast<int>(f * inner) + u / 2; ++x)
          image.setPixel(x, y, kBlack);
  // The profile, u pixels thick, from a baseline near the graph's foot to a
  // peak near its top.
  const double base = graphBottom - 2.0 * u, top = 2.0 * u;
  const auto curveY = [&](int x) {
    return static_cast<int>(std::lround(base - (base - top) * Profile((x - u + 0.5) / inner)));
  };
  for (int x = u; x < n - u; ++x) {
    const int a = curveY(x), b = x + 1 < n - u ? curveY(x + 1) : a;
    for (int y = std::min(a, b); y <= std::max(a, b) + u - 1; ++y)
      if (y >= u && y < graphBottom) image.setPixel(x, y, kYellow);
  }
  // A raised edge: light above and left, dark below and right.
  for (int i = 0; i < u; ++i)
    for (int k = 0; k < n; ++k) {
      image.setPixel(k, i, kWhite);
      image.setPixel(i, k, kWhite);
      image.setPixel(k, n - 1 - i, kGrey);
      image.setPixel(n - 1 - i, k, kGrey);
    }
  return image;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(IconImage(size)));
  return icon;
}

}  // namespace lxr4
