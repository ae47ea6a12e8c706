// cairo, loaded when a page is first printed to a PDF file rather than at the
// start: the library brings some twenty others (X11, fonts, PNG) that a
// session that prints nothing never needs, and lxr4-script starts once per
// script. Include this in place of <cairo.h>; the calls keep cairo's own names.
// Before any call, check CairoLoaded(): without the library no page can be
// drawn, and the caller fails as it does when cairo fails.
#pragma once

#include <cairo-pdf.h>
#include <cairo.h>

namespace lxr4 {

#define LXR4_CAIRO_FUNCTIONS(X)                                                                              \
  X(cairo_create) X(cairo_destroy) X(cairo_font_extents) X(cairo_line_to) X(cairo_move_to)                     \
  X(cairo_pdf_surface_create_for_stream) X(cairo_pdf_surface_set_metadata) X(cairo_select_font_face)           \
  X(cairo_set_font_size) X(cairo_set_line_cap) X(cairo_set_line_width) X(cairo_set_source_rgb)                 \
  X(cairo_show_page) X(cairo_show_text) X(cairo_status) X(cairo_stroke) X(cairo_surface_destroy)              \
  X(cairo_surface_finish) X(cairo_surface_status) X(cairo_text_extents) X(cairo_translate)

struct CairoFunctions {
#define LXR4_CAIRO_POINTER(name) decltype(&::name) name = nullptr;
  LXR4_CAIRO_FUNCTIONS(LXR4_CAIRO_POINTER)
#undef LXR4_CAIRO_POINTER
};

// The library's functions, loaded at the first call; every pointer is null
// when it could not be loaded.
[[nodiscard]] const CairoFunctions& Cairo();
[[nodiscard]] inline bool CairoLoaded() { return Cairo().cairo_create != nullptr; }

}  // namespace lxr4

// Each call goes through the loaded library.
#ifndef LXR4_CAIRO_LOADER
#define cairo_create (::lxr4::Cairo().cairo_create)
#define cairo_destroy (::lxr4::Cairo().cairo_destroy)
#define cairo_font_extents (::lxr4::Cairo().cairo_font_extents)
#define cairo_line_to (::lxr4::Cairo().cairo_line_to)
#define cairo_move_to (::lxr4::Cairo().cairo_move_to)
#define cairo_pdf_surface_create_for_stream (::lxr4::Cairo().cairo_pdf_surface_create_for_stream)
#define cairo_pdf_surface_set_metadata (::lxr4::Cairo().cairo_pdf_surface_set_metadata)
#define cairo_select_font_face (::lxr4::Cairo().cairo_select_font_face)
#define cairo_set_font_size (::lxr4::Cairo().cairo_set_font_size)
#define cairo_set_line_cap (::lxr4::Cairo().cairo_set_line_cap)
#define cairo_set_line_width (::lxr4::Cairo().cairo_set_line_width)
#define cairo_set_source_rgb (::lxr4::Cairo().cairo_set_source_rgb)
#define cairo_show_page (::lxr4::Cairo().cairo_show_page)
#define cairo_show_text (::lxr4::Cairo().cairo_show_text)
#define cairo_status (::lxr4::Cairo().cairo_status)
#define cairo_stroke (::lxr4::Cairo().cairo_stroke)
#define cairo_surface_destroy (::lxr4::Cairo().cairo_surface_destroy)
#define cairo_surface_finish (::lxr4::Cairo().cairo_surface_finish)
#define cairo_surface_status (::lxr4::Cairo().cairo_surface_status)
#define cairo_text_extents (::lxr4::Cairo().cairo_text_extents)
#define cairo_translate (::lxr4::Cairo().cairo_translate)
#endif
