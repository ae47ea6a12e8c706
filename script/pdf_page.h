// The printed page as a PDF document: what the scripted printer was told to
// print, drawn with cairo on the page the window's printer uses for a PDF file
// (A4, 10-point margins, a 10-point sans), so that Print to PDF... without the
// window writes the same page the window does.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lxr4 {

// A page in the printer's units, from the top-left corner of its printable
// area of `width` x `height` units; a text measures 8 units a character by 16.
struct PrintedPage {
  struct Text {
    double x = 0, y = 0;  // top-left corner
    std::string text;     // UTF-8
  };
  struct Line {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  };
  double width = 0, height = 0;
  bool landscape = false;
  std::vector<std::variant<Text, Line>> marks;  // in the order printed
};

// The page as the bytes of a one-page PDF file: an A4 sheet (turned when
// `landscape`) whose printable area, 10 points in from each edge, holds the
// page's area scaled alike in both directions and centred; texts in DejaVu Sans
// at the size where a digit is 8 units wide and a line 16 units high at most,
// lines half a point wide. `created` dates the document. nullopt when the area
// is empty or not finite, or cairo fails.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> PdfPage(const PrintedPage& page, std::time_t created);

// The time a document is dated: SOURCE_DATE_EPOCH when set to a number (so
// that a session gives the same file again), else now.
[[nodiscard]] std::time_t DocumentDate();

}  // namespace lxr4
