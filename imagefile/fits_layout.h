// The layout of a FITS file read from its header cards alone, before any FITS
// library sees the bytes: which HDU holds the frame, how many bytes the file
// needs up to the end of that HDU's data, and whether the headers on the way
// hold values a decoder could trip over. Pure code on bytes; it works on a
// file that is still arriving (a gzip stream being inflated), so that only
// what the headers say the frame needs is ever read or inflated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "imagefile/fits_reader.h"

namespace lxr4 {

// What a walk looks for: a camera frame, or a 1-D spectrum (a 1-D image, an
// image of one row, or a binary table).
enum class FitsTarget : std::uint8_t { Frame, Spectrum };

struct FitsLayout {
  // A refusal found in the headers seen so far (NotFits, Corrupt, BadScale,
  // BadAxes, TooLarge, NoImage); None while all is well.
  FitsError error = FitsError::None;
  int imageHdu = 0;          // 1-based number of the HDU holding the frame; 0 until its header is seen
  std::size_t needed = 0;    // bytes the file needs: up to the end of the frame's first plane (of a
                             // tile-compressed frame: its table and heap) once its header is seen,
                             // else at least up to the next card still missing
  [[nodiscard]] bool Complete(std::size_t have) const {
    return error == FitsError::None && imageHdu != 0 && have >= needed;
  }
};

// Walks the HDUs of `bytes` (the file, or as much of it as has arrived). The
// frame's HDU is the first with image data: the primary HDU with NAXIS above 0,
// an IMAGE extension with NAXIS above 0, or a tile-compressed image (a
// BINTABLE with ZIMAGE = T). Refuses: a card in a header that is not printable
// text; mandatory keys missing or out of range; NAXIS above 9; an extension of
// a type other than IMAGE, TABLE or BINTABLE; BSCALE or BZERO that is not a
// finite number (BSCALE not 0 and not denormal); a tile-compressed table whose
// keys disagree with it (tile sizes, tile count, compression parameters,
// ZDITHER0, THEAP); a frame beyond kMaxFrameSide/kMaxFramePixels; and a file
// that needs more than `maxBytes` bytes. `ended`: the bytes are the whole
// file, so a file cut short is refused (Truncated; NoImage when it ends after
// a whole HDU without a frame) rather than waited for.
//
// With FitsTarget::Spectrum the HDU sought is the first image with NAXIS 1, or
// NAXIS 2 and NAXIS2 = 1 (at most kMaxSpectrumSamples values; any other image
// is BadAxes), or the first binary table that is not a tile-compressed image;
// `needed` then runs to the end of that HDU's data, a table's heap included.
[[nodiscard]] FitsLayout WalkFitsLayout(std::span<const std::uint8_t> bytes, std::size_t maxBytes, bool ended,
                                        FitsTarget target = FitsTarget::Frame);

}  // namespace lxr4
