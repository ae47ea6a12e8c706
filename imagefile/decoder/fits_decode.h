// The decoding the decoder process does with cfitsio: the frame of a FITS
// file whose layout has been walked and found sound (imagefile/fits_layout.h).
// Runs only inside lxr4-fits-decoder, never in the program.
#pragma once

#include <cstdint>
#include <vector>

#include "imagefile/fits_reader.h"

namespace lxr4 {

// Reads HDU `imageHdu` of `file` (the file up to the end of that HDU's data, at
// least) and the facts of it and of the primary HDU. NaN, infinite and
// undefined pixels become 0; NoValidPixels when none is left. `file` is padded
// with zeros to whole 2880-byte records, as cfitsio reads them, in place: a
// copy of the largest file would not fit the decoder's memory.
[[nodiscard]] FitsReadResult DecodeFitsFrame(std::vector<std::uint8_t>& file, int imageHdu);

// Reads the spectrum of HDU `hdu` (found by WalkFitsLayout with
// FitsTarget::Spectrum): a 1-D image's values and axis keys, or a binary
// table's first wavelength column and first flux column of as many numbers
// per row (spectrum_columns.h), each row's values in turn when a column holds
// several. Undefined
// values are NaN. `file` is padded as for a frame.
[[nodiscard]] FitsSpectrumResult DecodeFitsSpectrum(std::vector<std::uint8_t>& file, int hdu);

}  // namespace lxr4
