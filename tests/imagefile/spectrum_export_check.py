"""Reads the spectrum files that Export Spectrum... wrote in the golden case
export-fits with specutils, as other programs will, and checks them against the
program's own read-out of the same columns: its CSV export (every wavelength as
the read-out computes it, in single precision) and its text export (the
wavelengths as printed, to 0.01). Exact for the table, within the resampling
for the linear axis."""
import sys

import numpy as np
from specutils import Spectrum1D

folder = sys.argv[1]
readout = np.genfromtxt(f"{folder}/star.csv", delimiter=",", names=True)
wavelengths = readout["wavelength_angstrom"].astype(np.float32).astype(np.float64)
values = readout["value"]
# One row per detector pixel of the 1600-pixel frame, counted from 1.
assert np.array_equal(readout["pixel"], np.arange(1, 1601)), "not one row per detector pixel"
text = np.loadtxt(f"{folder}/star-columns.txt", skiprows=1, max_rows=len(values))
assert np.allclose(text[:, 1], wavelengths, atol=0.005), "the CSV and the text file disagree"

table = Spectrum1D.read(f"{folder}/star-table.fits", format="tabular-fits")
assert table.spectral_axis.unit.to_string() == "Angstrom", table.spectral_axis.unit
assert np.array_equal(table.spectral_axis.value, wavelengths), "table wavelengths differ"
assert np.array_equal(table.flux.value, values), "table values differ"
header = table.meta["header"]
assert header["OBJECT"] == "Synthetic" and header["DATE-OBS"] == "2024-03-05T21:04:09", header
assert header["EXPTIME"] == 30 and "focal length" in header["CALIB"].lower(), header

assert header["SOURCE2"].startswith("lamp-rows.fits (FITS 1600x30"), header
camera = Spectrum1D.read(f"{folder}/star-camera.fits", format="tabular-fits").meta["header"]
assert camera["DATE-OBS"] == "1999-12-05T21:32:47" and "OBJECT" not in camera, camera

linear = Spectrum1D.read(f"{folder}/star-linear.fits", format="wcs1d-fits")
axis = linear.spectral_axis.to("Angstrom").value
assert len(axis) == len(wavelengths)
assert abs(axis[0] - wavelengths.min()) < 1e-6 and abs(axis[-1] - wavelengths.max()) < 1e-6
# Every grid wavelength lies within the span of the columns around it, so its
# value is the interpolation of theirs.
resampled = np.interp(axis, wavelengths, values)
assert np.allclose(linear.flux.value, resampled, rtol=1e-6, atol=1e-3), "linear values differ"
step = np.diff(wavelengths)
assert np.all(step > 0) and np.all(np.abs(np.diff(axis) - (axis[-1] - axis[0]) / (len(axis) - 1)) < 1e-6)
# The deepest absorption line lies at the same wavelength within a column's step.
line = np.argmin(values[10:-10]) + 10
near = np.abs(axis - wavelengths[line]) <= step.max()
assert np.argmin(linear.flux.value) in np.nonzero(near)[0], (wavelengths[line], axis[np.argmin(linear.flux.value)])
print("specutils read both FITS files; wavelengths as the program's read-out")
