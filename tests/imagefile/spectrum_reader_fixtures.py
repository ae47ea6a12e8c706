"""Writes the spectrum files other programs make, for spectrum_reader_test.cpp:
specutils' two FITS formats, and with astropy.io.fits an IRAF log-linear axis
(DC-FLAG = 1), a one-row image in an extension and an SDSS-like table of
log10 wavelengths in vector columns. The values follow the formulas the test
checks them against."""
import sys
import warnings

import numpy as np
import astropy.units as u
from astropy.io import fits
from astropy.wcs import WCS
from specutils import Spectrum1D

warnings.simplefilter("ignore")
folder = sys.argv[1]
i = np.arange(300, dtype=np.float64)

# Table in nm: wavelength 400 + i nm, flux 100 + 0.5 i.
Spectrum1D(spectral_axis=(400 + i) * u.nm, flux=(100 + 0.5 * i) * u.Jy).write(
    f"{folder}/tabular-nm.fits", format="tabular-fits", overwrite=True)

# Linear axis from 400 nm in steps of 0.5 nm (specutils writes it in metres), flux 1.5 i.
wcs = WCS(header={"CDELT1": 0.5, "CRVAL1": 400, "CUNIT1": "nm", "CTYPE1": "WAVE", "CRPIX1": 1})
Spectrum1D(flux=(1.5 * i) * u.Jy, wcs=wcs).write(f"{folder}/wcs1d-nm.fits", format="wcs1d-fits", overwrite=True)

# IRAF log-linear: log10 lambda = 3.6 + 1e-4 (p - 1) in Angstrom, flux i^2, float32.
log = fits.PrimaryHDU((i ** 2).astype(np.float32))
log.header.update({"CRVAL1": 3.6, "CDELT1": 1e-4, "CRPIX1": 1, "DC-FLAG": 1, "OBJECT": "HD 1234"})
log.writeto(f"{folder}/loglinear.fits", overwrite=True)

# A 300 x 1 image in the first extension, the primary HDU empty: 6000 - 2 (p - 11) Angstrom, flux 7 - i.
row = fits.ImageHDU((7 - i).reshape(1, 300))
row.header.update({"CRVAL1": 6000.0, "CD1_1": -2.0, "CRPIX1": 11, "CUNIT1": "Angstrom", "BUNIT": "erg/s/cm2/A"})
fits.HDUList([fits.PrimaryHDU(), row]).writeto(f"{folder}/row-in-extension.fits", overwrite=True)

# One row of vector columns: LOGLAM = 3.5 + 1e-4 i, FLUX = 2 i, IVAR beside them.
columns = [fits.Column(name="LOGLAM", format="300E", array=[(3.5 + 1e-4 * i).astype(np.float32)]),
           fits.Column(name="IVAR", format="300E", array=[np.ones(300, np.float32)]),
           fits.Column(name="FLUX", format="300E", unit="1e-17 erg/s/cm2/A", array=[(2 * i).astype(np.float32)])]
fits.HDUList([fits.PrimaryHDU(), fits.BinTableHDU.from_columns(columns)]).writeto(
    f"{folder}/loglam-vector.fits", overwrite=True)
