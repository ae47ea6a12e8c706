// The arithmetic of the on-screen graph: the 65-column window of the current
// spectrum around the cursor, four drawing units per column, scaled to a
// percentage v (0..100) drawn at y = 110 - v in the 258 x 110 graph box.
// Pure code; DrawSpectrumGraph turns its results into lines.
#pragma once

#include <array>
#include <cstdint>

#include "base/grid.h"

namespace lxr4 {

enum class GraphStyle : std::uint8_t { Linear, Log, Autoscaled, Pushed };

inline constexpr int kGraphSegments = 64;

// What the graph reads of the state.
struct GraphView {
  const Spectrum& spectrum;
  std::int16_t length = 0;  // valid columns
  std::int32_t max = 0;     // extremes of the whole spectrum
  std::int32_t min = 0;
  std::int16_t cursor = 0;  // centre column before clamping
};

// The centre column c: the cursor clamped to 1 and then to `length` (so 0 when
// the spectrum is empty).
[[nodiscard]] std::int16_t GraphCentre(std::int16_t cursor, std::int16_t length);

// Graph x of a spectrum column, in single precision: the centre at 129, the
// window's ends c - 32 and c + 32 at 1 and 257.
[[nodiscard]] float GraphX(int column, int centre);

// Bounds of the autoscaled and pushed styles, from the columns c-32..c+32
// that lie in 1..763: top M (single) at least 256 above bottom m, and for the
// pushed style at most 2048 above it.
struct WindowRange {
  float top = 0;
  std::int32_t bottom = 0;
};
[[nodiscard]] WindowRange ScanWindow(const Spectrum& spectrum, int centre, bool pushed);

// The scale functions: percentage of the vertical scale for a spectrum value,
// unclamped. Linear: the whole spectrum's min..max fills 0..100; a spectrum
// without a range (max <= min) gives 0. Log: 20 per decade above min - 10; a
// value at or below min - 10 gives 0. Window: m..M fills 0..100.
[[nodiscard]] double LinearPercent(double value, std::int32_t max, std::int32_t min);
[[nodiscard]] double LogPercent(double value, std::int32_t min);
[[nodiscard]] double WindowPercent(double value, WindowRange range);

// The red curve of one style: it starts at (1, startY) and runs through 64
// points, columns c-31..c+32; columns outside 1..765 and every value are
// clamped to 0..100 percent, the start is not.
struct CurvePoint {
  float x = 0;
  double y = 0;
};
struct Curve {
  double startY = 0;
  std::array<CurvePoint, kGraphSegments> points{};
};
[[nodiscard]] Curve PlotCurve(const GraphView& view, GraphStyle style);

// The two green markers of the centroid window of `width` columns, half a
// column outside it on either side of the centre.
struct MarkerLine {
  std::int16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
[[nodiscard]] std::array<MarkerLine, 2> CentroidMarkers(std::int16_t width);

}  // namespace lxr4
