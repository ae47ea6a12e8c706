// FITS-style image sections such as BIASSEC and TRIMSEC: "[x1:x2,y1:y2]",
// columns then rows, counted from 1, both ends included. "*" stands for a
// whole axis; a reversed range ("[100:1,...]") names the same pixels. Pure code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/result.h"

namespace lxr4 {

struct Section {
  int x1 = 1, x2 = 1;  // columns, from 1, x1 <= x2
  int y1 = 1, y2 = 1;  // rows, from 1, y1 <= y2
  [[nodiscard]] int width() const { return x2 - x1 + 1; }
  [[nodiscard]] int height() const { return y2 - y1 + 1; }
};

enum class SectionError : std::uint8_t {
  None,
  BadText,  // not "[a:b,c:d]" of whole numbers (or "*")
  Outside,  // a bound below 1 or beyond the frame
};

struct SectionParsed {
  Section section;
};
using SectionResult = Result<SectionError, SectionParsed>;

// Parses `text` for a frame of width x height (spaces around the numbers are
// allowed) and checks it lies inside the frame. The messages quote the text.
[[nodiscard]] SectionResult ParseSection(std::string_view text, int width, int height);

// "[x1:x2,y1:y2]" for provenance lines.
[[nodiscard]] std::string SectionText(const Section& s);

}  // namespace lxr4
