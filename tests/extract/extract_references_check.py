#!/usr/bin/python3
"""extract_numbers against specreduce's boxcar (along our trace: the same
covered-part sums), numpy's median sky (specreduce 1.3's median Background
takes the whole column) and astroscrappy's L.A.Cosmic mask (full medians,
masked-median cleaning; it leaves the frame's 3-pixel edge alone) on one numpy
frame: a tilted trace with lines, sky lines, noise and cosmic rays.
Usage: extract_references_check.py EXTRACT_NUMBERS"""
import math
import subprocess
import sys
import warnings

import numpy as np

warnings.simplefilter("ignore")
import astroscrappy  # noqa: E402
from specreduce.extract import BoxcarExtract  # noqa: E402
from specreduce.tracing import ArrayTrace  # noqa: E402

rng = np.random.default_rng(20261207)
W, H, GAIN, RN, HALF, OFFSET, WIDTH = 400, 150, 1.5, 5.0, 7.0, 11.0, 15.0
x, y = np.arange(W), np.arange(H)[:, None]
centre = 70 + 0.02 * x
spectrum = 40000 * (1 + 1.5 * np.exp(-0.5 * ((x - 90) / 1.8) ** 2) - 0.6 * np.exp(-0.5 * ((x - 250) / 3) ** 2))
sky = 150 * (1 + 8 * np.exp(-0.5 * ((x - 140) / 1.2) ** 2) + 5 * np.exp(-0.5 * ((x - 330) / 1.2) ** 2))
erf = np.vectorize(math.erf)
profile = 0.5 * (erf((y + 0.5 - centre) / 2 ** 1.5) - erf((y - 0.5 - centre) / 2 ** 1.5))
mean = spectrum * profile + sky
data = mean + rng.normal(size=mean.shape) * np.sqrt(mean / GAIN + (RN / GAIN) ** 2)
rays = np.zeros(data.shape, bool)
for _ in range(150):
    rx, ry, n, along, energy = rng.integers(0, W), rng.integers(0, H), rng.integers(1, 4), rng.random() < 0.5, \
        rng.uniform(800, 6800)
    for i in range(n):
        px, py = (rx + i, ry) if along else (rx, ry + i)
        if px < W and py < H:
            data[py, px] += energy * rng.uniform(0.6, 1.0)
            rays[py, px] = True
data = data.astype(np.float32)
frame = f"{W} {H}\n" + "\n".join(" ".join(f"{v:.9g}" for v in row) for row in data) + "\n"
out = subprocess.run([sys.argv[1], *map(str, (GAIN, RN, HALF, OFFSET, WIDTH))], input=frame, capture_output=True,
                     text=True, check=True).stdout.splitlines()
ours = np.array([[float(f) for f in line.split()[2:]] for line in out if line.startswith("column")])
c, flux, flux_sky, sky_under = ours.T
ours_mask = np.zeros(data.shape, bool)
ours_mask[tuple(np.array([line.split()[2:0:-1] for line in out if line.startswith("ray")], int).T)] = True
failures = 0


def report(name, value, ok):
    global failures
    print(f"{name:44} {value:.3g} {'ok' if ok else 'DIFFERS'}")
    failures += not ok


theirs = BoxcarExtract(data.astype(float), ArrayTrace(data.astype(float), c), width=2 * HALF).spectrum.flux.value
report("boxcar vs specreduce (max rel. difference)", np.max(np.abs(flux - theirs)) / np.max(theirs),
       np.allclose(flux, theirs, rtol=1e-9, atol=0))
report("trace vs truth (max, px)", np.abs(c - centre).max(), np.abs(c - centre).max() <= 0.05)

rows = np.arange(H)[:, None].astype(float)
bands = ((rows >= c - OFFSET - WIDTH) & (rows <= c - OFFSET)) | ((rows >= c + OFFSET) & (rows <= c + OFFSET + WIDTH))
level = np.array([np.median(data[bands[:, k], k].astype(float)) for k in range(W)])
weights = np.clip(np.minimum(rows + 0.5, c + HALF) - np.maximum(rows - 0.5, c - HALF), 0, None)
numpy_flux = ((data - level) * weights).sum(axis=0)
report("boxcar less median sky vs numpy (max rel.)", np.max(np.abs(flux_sky - numpy_flux)) / np.max(numpy_flux),
       np.allclose(flux_sky, numpy_flux, rtol=1e-9, atol=0) and np.allclose(sky_under, level * weights.sum(axis=0)))
hit = np.array([rays[np.abs(np.arange(H) - centre[k]) < HALF + 1, k].any() for k in range(W)])
rel = np.median(np.abs(flux_sky[~hit] / spectrum[~hit] - 1))
report("boxcar vs true spectrum (median |ratio - 1|)", rel, rel <= 0.005)

theirs_mask, _ = astroscrappy.detect_cosmics(data, sigclip=4.5, sigfrac=0.3, objlim=5.0, gain=GAIN, readnoise=RN,
                                             satlevel=1e30, niter=4, sepmed=False, cleantype="medmask")
inner = np.zeros(data.shape, bool)
inner[3:-3, 3:-3] = True
print(f"cosmic-ray pixels: ours {ours_mask.sum()}, astroscrappy {theirs_mask.sum()}, "
      f"both {(ours_mask & theirs_mask).sum()}, rays {rays.sum()}")
for name, where, limit in (("masks: in common / in either", True, 0.9), ("the same off the edge", inner, 0.99)):
    share = (ours_mask & theirs_mask & where).sum() / ((ours_mask | theirs_mask) & where).sum()
    report(name, share, share >= limit)
strong = rays & ((data - mean) > 5 * np.sqrt(mean / GAIN + (RN / GAIN) ** 2))
report("strong ray pixels ours finds", (ours_mask & strong).sum() / strong.sum(),
       (ours_mask & strong).sum() >= 0.95 * strong.sum())
sys.exit(1 if failures else 0)
