#!/usr/bin/python3
"""measure_numbers' line sums against specutils' on the same samples: a noisy
Gaussian emission and absorption line (numpy, fixed seed), less the same
straight continuum (numpy's least-squares line through the same continuum
samples), by centroid, gaussian_fwhm (the second moment), line_flux,
equivalent_width and snr: the same methods, so the values agree to 1e-6 of
their size (the centroid to 1e-6 A). Uncertainties are not compared:
specutils takes a ratio's numerator and denominator as independent.
Usage: measure_specutils_check.py MEASURE_NUMBERS"""
import subprocess
import sys
import warnings

import numpy as np
import astropy.units as u
from astropy.nddata import StdDevUncertainty

warnings.simplefilter("ignore")
from specutils import Spectrum1D  # noqa: E402
from specutils.analysis import centroid, gaussian_fwhm, line_flux, equivalent_width, snr  # noqa: E402

tool = sys.argv[1]
rng = np.random.default_rng(20261206)
x = np.arange(6480.0, 6640.0, 0.5)
line = (6548.25, 6571.25)  # halfway between samples: no sample on a bound
cont = ((6490.25, 6530.25), (6590.25, 6630.25))
failures = 0

for name, depth, given_noise in (("emission", -0.8, True), ("absorption", 0.45, False)):
    flux = (200 + 0.05 * (x - 6560)) * (1 - depth * np.exp(-0.5 * ((x - 6560.3) / 2.1) ** 2))
    flux, noise = flux + rng.normal(0, 1.5, x.size), np.full(x.size, 1.5)
    text = "".join(f"{a!r} {b!r}" + (f" {c!r}" if given_noise else "") + "\n"
                   for a, b, c in zip(x, flux, noise))
    args = [tool, "line", "gaussian", str(line[0]), str(line[1])] + [str(v) for r in cont for v in r]
    out = subprocess.run(args, input=text, capture_output=True, text=True, check=True).stdout
    ours = {f[0]: float(f[1]) for f in (l.split() for l in out.splitlines())}

    in_cont = ((x >= cont[0][0]) & (x <= cont[0][1])) | ((x >= cont[1][0]) & (x <= cont[1][1]))
    weights = 1 / noise[in_cont] if given_noise else None
    fit = np.polynomial.Polynomial.fit(x[in_cont], flux[in_cont], 1, w=weights)
    in_line = (x >= line[0]) & (x <= line[1])
    xl, fl, cl = x[in_line] * u.AA, flux[in_line], fit(x[in_line])
    if not given_noise:
        resid = flux[in_cont] - fit(x[in_cont])
        noise = np.full(x.size, np.sqrt(np.sum(resid ** 2) / (in_cont.sum() - 2)))
    unc = StdDevUncertainty(noise[in_line])
    sub = Spectrum1D(spectral_axis=xl, flux=(fl - cl) * u.Jy, uncertainty=unc)
    norm = Spectrum1D(spectral_axis=xl, flux=(fl / cl) * u.dimensionless_unscaled)
    raw = Spectrum1D(spectral_axis=xl, flux=fl * u.Jy, uncertainty=unc)
    theirs = {
        "centroid": centroid(sub).to_value(u.AA),
        "moment_fwhm": gaussian_fwhm(sub).to_value(u.AA),
        "flux": line_flux(sub).to_value(u.Jy * u.AA),
        "equivalent_width": equivalent_width(norm, continuum=1).to_value(u.AA),
        "snr": snr(raw).value,
    }
    for key, value in theirs.items():
        tolerance = 1e-6 if key == "centroid" else 1e-6 * max(abs(value), 1e-3)  # Angstrom; relative
        ok = abs(ours[key] - value) <= tolerance
        print(f"{name:10} {key:16} ours {ours[key]:.9f} specutils {value:.9f} {'ok' if ok else 'DIFFERS'}")
        failures += not ok
    if (ours["equivalent_width"] > 0) != (depth > 0):
        print(f"{name}: equivalent width of the wrong sign")
        failures += 1

sys.exit(1 if failures else 0)
