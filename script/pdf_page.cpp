#include "script/pdf_page.h"

#include "script/cairo_library.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace lxr4 {

namespace {

// The window's PDF page: A4 in points, 10-point margins (QPrinter's).
constexpr double kA4Long = 842, kA4Short = 595, kMargin = 10;
constexpr double kLineWidth = 0.5;
constexpr double kCharUnits = 8, kLineUnits = 16;

struct SurfaceFree {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextFree {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
  try {
    bytes->insert(bytes->end(), data, data + length);
  } catch (...) {
    return CAIRO_STATUS_NO_MEMORY;
  }
  return CAIRO_STATUS_SUCCESS;
}

// PDF's date form, D:YYYYMMDDHHmmSSZ, in UTC.
std::string PdfDate(std::time_t t) {
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  return std::string(text, std::strftime(text, sizeof text, "D:%Y%m%d%H%M%SZ", &utc));
}

void Draw(cairo_t* cr, const PrintedPage& page, double scale) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  // The font size at which a digit and a line take what the printer measured.
  cairo_set_font_size(cr, 1);
  cairo_font_extents_t font{};
  cairo_font_extents(cr, &font);
  cairo_text_extents_t digit{};
  cairo_text_extents(cr, "0", &digit);
  const double size = std::min(kLineUnits * scale / font.height, kCharUnits * scale / digit.x_advance);
  cairo_set_font_size(cr, size);
  cairo_font_extents(cr, &font);

  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, kLineWidth);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (const auto& mark : page.marks) {
    if (const auto* text = std::get_if<PrintedPage::Text>(&mark)) {
      // Placed by the top-left corner; cairo places by the baseline.
      cairo_move_to(cr, text->x * scale, text->y * scale + font.ascent);
      cairo_show_text(cr, text->text.c_str());
    } else {
      const auto& line = std::get<PrintedPage::Line>(mark);
      cairo_move_to(cr, line.x1 * scale, line.y1 * scale);
      cairo_line_to(cr, line.x2 * scale, line.y2 * scale);
      cairo_stroke(cr);
    }
  }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> PdfPage(const PrintedPage& page, std::time_t created) {
  if (!(page.width > 0 && page.height > 0 && std::isfinite(page.width) && std::isfinite(page.height)))
    return std::nullopt;
  if (!CairoLoaded()) return std::nullopt;
  const double sheetWidth = page.landscape ? kA4Long : kA4Short;
  const double sheetHeight = page.landscape ? kA4Short : kA4Long;
  const double areaWidth = sheetWidth - 2 * kMargin, areaHeight = sheetHeight - 2 * kMargin;
  const double scale = std::min(areaWidth / page.width, areaHeight / page.height);

  std::vector<std::uint8_t> bytes;
  const std::unique_ptr<cairo_surface_t, SurfaceFree> surface(
      cairo_pdf_surface_create_for_stream(Append, &bytes, sheetWidth, sheetHeight));
  cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATE_DATE, PdfDate(created).c_str());
  cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR,
                                 "Tavrin LXR-4 Spectral Calibration Program");
  {
    const std::unique_ptr<cairo_t, ContextFree> cr(cairo_create(surface.get()));
    cairo_translate(cr.get(), kMargin + (areaWidth - page.width * scale) / 2, kMargin);
    Draw(cr.get(), page, scale);
    cairo_show_page(cr.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  }
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS || bytes.empty()) return std::nullopt;
  return bytes;
}

std::time_t DocumentDate() {
  if (const char* text = std::getenv("SOURCE_DATE_EPOCH")) {
    const std::string_view s(text);
    long long seconds = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), seconds);
    if (error == std::errc() && end == s.data() + s.size() && seconds >= 0)
      return static_cast<std::time_t>(seconds);
  }
  return std::time(nullptr);
}

}  // namespace lxr4
