// The texts that line marks, the calibration summary and the cursor read-out
// put in Lblwavelength. Lines are joined by CR LF.
#pragma once

#include <cstdint>
#include <string>

namespace lxr4 {

// "Pixel 381.46" for a marked line's centroid.
std::string MarkCaption(float centroid);

// The four-line summary after a two-line solve: focal length (mm), alpha
// angle (degrees), uncorrected wavelength of column 381 (Angstroms) and the
// absolute linear dispersion (Angstroms per mm).
std::string SummaryCaption(double focalLength, double alphaAngle, float referenceWavelength,
                           float dispersion);

// Before a calibration: the cursor column and its value above the spectrum's minimum.
std::string CursorCaption(int cursor, std::int64_t pixelValue);

// After a calibration, or for a measured line: the column (a cursor column or
// a centroid), its wavelength and the cursor column's value.
std::string ReadoutCaption(double pixel, float wavelength, std::int64_t pixelValue);

// The read-out where the calibration in force gives no wavelength above 0.
std::string NoWavelengthCaption(double pixel, std::int64_t pixelValue);

}  // namespace lxr4
