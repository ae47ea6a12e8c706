// Writes the three spectrum files of a calibrated 765-column spectrum, and the
// table of the program's own wavelengths of its columns, into the folder given;
// spectrum_export_check.py then reads them back with specutils.
//   spectrum_export_files DIR
#include <cmath>
#include <fstream>
#include <iostream>
#include <string>

#include "calibration/grating_model.h"
#include "imagefile/spectrum_export.h"

namespace {

void Save(const std::string& path, const lxr4::SpectrumFile& file) {
  if (file.error != lxr4::SpectrumFileError::None) {
    std::cerr << path << ": not written\n";
    std::exit(1);
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  // The worked calibration of the samples.
  lxr4::Grating g;
  g.FocalLength = 53.71068870610805;
  g.AlphaAngle = 9.755313304634802;
  g.PixelWidth = 9.0f;
  g.CalibrationDone = true;
  lxr4::SpectrumExport s;
  for (int k = 1; k <= 765; ++k) s.values.push_back(1000 + 800 * std::exp(-0.5 * std::pow((k - 300) / 3.0, 2)));
  s.wavelength = [g](int column) mutable { return static_cast<double>(lxr4::CalibratedWavelength(g, column)); };
  s.facts = {.object = "Vega", .dateObs = "1999-12-05T21:32:47", .exposure = 30,
             .sourceFiles = {"samples/star.km1", "samples/lamp.km1"},
             .calibration = "grating model: focal length 53.71068870610805 mm, alpha 9.755313304634802 deg",
             .program = "Tavrin LXR-4 Spectral Calibration Program 1.0.0"};
  Save(dir + "/linear.fits", lxr4::WriteLinearFitsSpectrum(s));
  Save(dir + "/table.fits", lxr4::WriteFitsTableSpectrum(s));
  Save(dir + "/spectrum.csv", lxr4::WriteCsvSpectrum(s));
  std::ofstream truth(dir + "/truth.txt");
  truth.precision(17);
  for (int k = 1; k <= 765; ++k) truth << k << ' ' << s.wavelength(k) << ' ' << s.values[static_cast<std::size_t>(k - 1)] << '\n';
  return 0;
}
