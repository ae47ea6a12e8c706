// A frame of a night's reduction: a detector image as floating values with the
// facts the reduction checks (size, binning, exposure, image type) and the list
// of steps that made it. Plain value type; the caller fills it from a FITS
// frame (imagefile/fits_frame_convert.h) or builds it in code.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lxr4 {

struct Frame {
  int width = 0;              // values per row
  int height = 0;             // rows
  std::vector<float> values;  // width x height, row by row; finite
  std::optional<double> exposure;  // seconds, when the header gave it
  int binX = 1, binY = 1;          // detector pixels per value along a row and across
  std::string imageType;           // "BIAS", "DARK", "FLAT", "OBJECT", "ARC" or as written
  std::vector<std::string> provenance;  // what was done to make it, one step a line

  [[nodiscard]] std::size_t pixels() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
  [[nodiscard]] std::size_t index(int x, int y) const {  // x, y from 0
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
  }
  [[nodiscard]] float at(int x, int y) const { return values[index(x, y)]; }
  [[nodiscard]] bool empty() const { return width < 1 || height < 1 || values.size() != pixels(); }
};

// A blank frame of the size and binning of `like`, every value `fill`.
[[nodiscard]] inline Frame FrameLike(const Frame& like, float fill = 0.0F) {
  Frame f;
  f.width = like.width;
  f.height = like.height;
  f.binX = like.binX;
  f.binY = like.binY;
  f.values.assign(like.pixels(), fill);
  return f;
}

// "2048 x 512 binned 1 x 1": a frame's size and binning for the messages.
[[nodiscard]] std::string FrameShapeText(const Frame& f);

// The shortest text that reads back as `value` ("3", "2.5", "0.1"), whatever
// the user's locale, for provenance lines.
[[nodiscard]] std::string ShortNumberText(double value);

// True when the two frames have the same size and binning.
[[nodiscard]] inline bool SameShape(const Frame& a, const Frame& b) {
  return a.width == b.width && a.height == b.height && a.binX == b.binX && a.binY == b.binY;
}

// An image type in capitals with the spaces around it removed, so "Bias Frame"
// and "bias" compare as the header meant; the common synonyms become the
// reduction's own words: "BIAS" (ZERO, BIAS FRAME), "DARK" (DARK FRAME), "FLAT"
// (FLAT FIELD, FLAT FRAME, DOMEFLAT, SKYFLAT), "OBJECT" (LIGHT, LIGHT FRAME,
// SCIENCE), "ARC" (COMP, COMPARISON, LAMP, CALIB); anything else as written in
// capitals.
[[nodiscard]] std::string NormalImageType(const std::string& written);

}  // namespace lxr4
