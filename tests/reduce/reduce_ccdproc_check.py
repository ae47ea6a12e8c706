#!/usr/bin/python3
"""reduce_numbers' combinations, master dark and calibrated frame against
ccdproc's on the same float32 frames (numpy, fixed seed): Combiner's
median_combine and average_combine, sigma_clipping (about the median, by the
standard deviation or mad_std, one pass or more) then average_combine with the
same count of rejected values; subtract_bias and a division by the exposure
before a median combine for the dark; subtract_overscan (the median of each
row), trim_image, subtract_bias, subtract_dark and flat_correct (by the flat as
given) for a frame. The same methods: the values agree to float precision, a
few units in the last place of the values they come from.
Usage: reduce_ccdproc_check.py REDUCE_NUMBERS"""
import subprocess
import sys
import warnings

import numpy as np
import astropy.units as u

warnings.simplefilter("ignore")
from astropy.nddata import CCDData  # noqa: E402
from astropy.stats import sigma_clip  # noqa: E402
import ccdproc  # noqa: E402

tool = sys.argv[1]
rng = np.random.default_rng(20261207)
W, H = 64, 48
EPS = np.finfo(np.float32).eps
failures = 0


def run(args, frames):
    data = b"".join(np.ascontiguousarray(f, dtype=np.float32).tobytes() for f in frames)
    p = subprocess.run([tool] + [str(a) for a in args], input=data, capture_output=True, check=True)
    return np.frombuffer(p.stdout, dtype=np.float32), p.stderr.decode()


def compare(name, ours, theirs, scale=None, extra=""):
    """Each value within 2 units in the last place of the float of its size
    (or of `scale`, the size of the values it was made from)."""
    global failures
    theirs = np.asarray(theirs, dtype=np.float64).ravel()
    ok = ours.size == theirs.size
    if ok:
        diff = np.abs(ours.astype(np.float64) - theirs)
        allowed = 2 * EPS * (np.maximum(np.abs(theirs), 1) if scale is None else scale)
        ok = bool(np.all(diff <= allowed))
        extra = f"largest difference {diff.max():.3g} (ulps {np.max(diff / allowed * 2):.2f}) " + extra
    failures += not ok
    print(f"{name:44} {extra}{'ok' if ok else 'DIFFERS'}")


def ccd(a):
    return CCDData(np.asarray(a, dtype=np.float32), unit=u.adu)


# Biases with read noise and cosmic rays: 20 frames (even) and 7 (odd).
for n in (20, 7):
    frames = (1000 + rng.normal(0, 5, (n, H, W))).astype(np.float32)
    hits = rng.integers(0, n * H * W, n * H * W // 50)
    frames.reshape(-1)[hits] += rng.uniform(200, 5000, hits.size).astype(np.float32)
    for method in ("median", "mean"):
        ours, _ = run(["combine", method, n, W, H], frames)
        c = ccdproc.Combiner([ccd(f) for f in frames])
        theirs = c.median_combine() if method == "median" else c.average_combine()
        compare(f"{n} frames {method}", ours, theirs.data)
    for low, high, centre, dev, passes in ((3, 3, "median", "std", 1), (3, 3, "median", "std", 5),
                                           (3, 3, "median", "mad", 1), (3, 3, "median", "mad", 3),
                                           (2, 2.5, "median", "std", 3), (2, 2, "mean", "std", 1)):
        ours, err = run(["combine", "clip", n, W, H, low, high, centre, dev, passes], frames)
        c = ccdproc.Combiner([ccd(f) for f in frames])
        stdfunc = "std" if dev == "std" else "mad_std"
        if passes == 1:
            c.sigma_clipping(low_thresh=low, high_thresh=high, func=centre, dev_func=stdfunc)
        else:  # what sigma_clipping does, with more passes (this ccdproc cannot hand maxiters on)
            c.data_arr.mask = sigma_clip(c.data_arr.data, sigma_lower=low, sigma_upper=high, axis=0,
                                         maxiters=passes, cenfunc=centre, stdfunc=stdfunc, masked=True,
                                         copy=False).mask
        rejected = int(c.data_arr.mask.sum())
        theirs = c.average_combine()
        same = err.split() == ["rejected", str(rejected)]
        failures += not same
        compare(f"{n} frames clip {low}/{high} {centre}/{dev} {passes} pass", ours, theirs.data,
                extra=f"rejected {err.split()[-1]} vs {rejected} ")

# A master dark: 9 darks of 120 s over a master bias.
bias = (1000 + rng.normal(0, 1.5, (H, W))).astype(np.float32)
darks = (1000 + 0.4 * 120 + rng.normal(0, 5, (9, H, W))).astype(np.float32)
ours, _ = run(["dark", 9, W, H] + [120] * 9, [bias] + list(darks))
per_second = [ccdproc.subtract_bias(ccd(d), ccd(bias)).divide(120.0) for d in darks]
theirs = ccdproc.Combiner(per_second).median_combine()
compare("master dark per second", ours, theirs.data, float(np.max(darks)) / 120.0)

# A frame calibrated: overscan in columns 57..64, drifting down the rows; trimmed to 1..56.
seconds = 300.0
rows = np.arange(H, dtype=np.float64)[:, None]
raw = (1000 + 0.3 * rows + rng.normal(0, 5, (H, W))
       + np.where(np.arange(W) < 56, 400 + 5 * np.arange(W), 0)).astype(np.float32)
bias = rng.normal(0, 2, (H, W)).astype(np.float32)
dark = np.abs(rng.normal(0.05, 0.02, (H, W))).astype(np.float32)
flat = rng.normal(1, 0.03, (H, W)).astype(np.float32)
ours, _ = run(["calibrate", W, H, seconds, "[57:64,*]", "[1:56,*]"], [raw, bias, dark, flat])
t = ccdproc.subtract_overscan(ccd(raw), fits_section="[57:64,:]", overscan_axis=1, median=True)
t = ccdproc.trim_image(t, fits_section="[1:56,:]")
trim = slice(0, 56)
t = ccdproc.subtract_bias(t, ccd(bias[:, trim]))
t = ccdproc.subtract_dark(t, ccd(dark[:, trim]), dark_exposure=1 * u.s, data_exposure=seconds * u.s, scale=True)
t = ccdproc.flat_correct(t, ccd(flat[:, trim]), norm_value=1)
compare("calibrated frame", ours, t.data, float(np.max(np.abs(raw))))

sys.exit(1 if failures else 0)
