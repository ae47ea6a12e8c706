// The text file of "Write Text File": its rows, its whole content and its
// name. Pure functions; the handler in text_export.cpp writes the file.
#pragma once

#include <string>
#include <string_view>

namespace lxr4 {

// One row without its line end: pixel number ("##0"), TAB, value ("######0").
std::string TextExportRow(int pixel, float value);
// One row after a calibration: pixel number ("##0"), TAB, wavelength in
// Angstroms ("###0.00"), TAB, value ("######0").
std::string TextExportRow(int pixel, float wavelength, float value);

// The whole file for `rows`, each already ended by CR LF: a double quote and
// CR LF, the rows, one more CR LF, a double quote and CR LF.
std::string TextExportFile(std::string_view rows);

// The text file's path for the image file `sourcePath`: the file's own name
// (after the last '/' or '\') cut at its first ".", then ".txt". A name
// without a dot keeps it whole; an empty path gives ".txt". Dots in folder
// names never cut, so the text file always lands next to its image.
std::string TextExportPath(std::string_view sourcePath);

}  // namespace lxr4
