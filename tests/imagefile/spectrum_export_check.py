"""Reads the spectrum files that spectrum_export_files wrote with specutils, as
other programs will, and checks them against the program's own wavelengths:
exact for the table, within the resampling for the linear axis."""
import sys

import numpy as np
from specutils import Spectrum1D

folder = sys.argv[1]
truth = np.loadtxt(f"{folder}/truth.txt")
pixels, wavelengths, values = truth[:, 0], truth[:, 1], truth[:, 2]

table = Spectrum1D.read(f"{folder}/table.fits", format="tabular-fits")
assert table.spectral_axis.unit.to_string() == "Angstrom", table.spectral_axis.unit
assert np.array_equal(table.spectral_axis.value, wavelengths), "table wavelengths differ"
assert np.array_equal(table.flux.value, values), "table values differ"
assert table.meta["header"]["OBJECT"] == "Vega"

linear = Spectrum1D.read(f"{folder}/linear.fits", format="wcs1d-fits")
axis = linear.spectral_axis.to("Angstrom").value
assert len(axis) == len(wavelengths)
assert abs(axis[0] - wavelengths.min()) < 1e-6 and abs(axis[-1] - wavelengths.max()) < 1e-6
step = np.diff(np.sort(wavelengths))
# Every grid wavelength lies within the span of the columns around it, so its
# value is the interpolation of theirs: the line at column 300 stays there.
resampled = np.interp(axis, wavelengths, values)
assert np.allclose(linear.flux.value, resampled, rtol=1e-6, atol=1e-3), "linear values differ"
peak = axis[np.argmax(linear.flux.value)]
assert abs(peak - wavelengths[299]) <= step.max(), (peak, wavelengths[299])

csv = np.genfromtxt(f"{folder}/spectrum.csv", delimiter=",", names=True)
assert np.array_equal(csv["wavelength_angstrom"], wavelengths)
print("specutils read both FITS files; wavelengths as the program's")
