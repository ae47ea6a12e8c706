#include "calibration/detector.h"

#include "base/grid.h"
#include "calibration/grating_model.h"
#include "calibration/instrument.h"

namespace lxr4 {

const CameraImage& GraphedImage(const AppState& s) { return s.CalGraphShown != kFalse ? s.Cal : s.Object; }

const DetectorMap& GraphedDetector(const AppState& s) { return GraphedImage(s).Detector; }

int DetectorPixels(const AppState& s) {
  const DetectorMap& m = GraphedDetector(s);
  return m.frame ? m.length : kGridColumns;
}

float ModelPixelWidth(const AppState& s) {
  const DetectorMap& m = GraphedDetector(s);
  return m.frame ? s.PixelWidth.AsSingle() / static_cast<float>(m.bin) : s.PixelWidth.AsSingle();
}

float ModelReference(const AppState& s) {
  return static_cast<float>(ColumnPosition(GraphedDetector(s), kReferenceColumn));
}

float FitPixelWidth(const AppState& s) {
  if (s.Instrument.pixelSize) return *s.Instrument.pixelSize;
  return ModelPixelWidth(s);
}

FitOptions DetectorFitOptions(const AppState& s, bool clip) {
  FitOptions options;
  options.clip = clip;
  options.pixels = DetectorPixels(s);
  const DetectorMap& m = GraphedDetector(s);
  if (m.frame) options.referencePixel = ColumnPosition(m, s.Instrument.referenceColumn);
  return options;
}

int CursorDetectorPixel(const AppState& s) {
  const DetectorMap& m = GraphedDetector(s);
  if (!m.frame) return static_cast<int>(s.CursorPixel.AsDouble());
  return s.CursorDetectorPixel;
}

double ColumnOnDetector(const AppState& s, double column) { return ColumnPosition(GraphedDetector(s), column); }

}  // namespace lxr4
