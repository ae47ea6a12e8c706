#!/usr/bin/python3
"""extract_numbers against the references on the same frames (numpy, fixed
seed): a tilted trace of a Gaussian profile with lines, sky lines across the
slit, noise and cosmic rays.

Boxcar: specreduce's BoxcarExtract along our trace (ArrayTrace) weighs the
pixels the aperture covers in part as ours does: the same sums, to 1e-9 of the
flux. Its two-sided Background takes, for statistic='median', the median of the
whole column on this version (its mask of the bands is lost), so the sky is
checked against numpy instead: the median of the pixels whose centres lie in
the bands, then the same covered-part boxcar.

Cosmic rays: astroscrappy's detect_cosmics set as the original L.A.Cosmic
(full medians, masked-median cleaning, no saturation mask), gain and read noise
the same: the two masks' intersection over their union, over the frame and
off its 3-pixel edge (where astroscrappy flags nothing), and the share of the
rays ours finds.
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

erf = np.vectorize(math.erf)
tool = sys.argv[1]
rng = np.random.default_rng(20261207)
W, H, GAIN, RN = 400, 150, 1.5, 5.0
x = np.arange(W)
y = np.arange(H)[:, None]
centre = 70 + 0.02 * x
spectrum = 40000 * (1 + 1.5 * np.exp(-0.5 * ((x - 90) / 1.8) ** 2) - 0.6 * np.exp(-0.5 * ((x - 250) / 3) ** 2))
sky = 150 * (1 + 8 * np.exp(-0.5 * ((x - 140) / 1.2) ** 2) + 5 * np.exp(-0.5 * ((x - 330) / 1.2) ** 2))
profile = 0.5 * (erf((y + 0.5 - centre) / (2 * np.sqrt(2))) - erf((y - 0.5 - centre) / (2 * np.sqrt(2))))
mean = spectrum * profile + sky
data = mean + rng.normal(size=mean.shape) * np.sqrt(mean / GAIN + (RN / GAIN) ** 2)
rays = np.zeros(data.shape, bool)
for _ in range(150):
    rx, ry, n = rng.integers(0, W), rng.integers(0, H), rng.integers(1, 4)
    along = rng.random() < 0.5
    energy = rng.uniform(800, 6800)
    for i in range(n):
        px, py = (rx + i, ry) if along else (rx, ry + i)
        if px < W and py < H:
            data[py, px] += energy * rng.uniform(0.6, 1.0)
            rays[py, px] = True
data = data.astype(np.float32)
frame = f"{W} {H}\n" + "\n".join(" ".join(f"{v:.9g}" for v in row) for row in data) + "\n"
failures = 0


def run(*args):
    out = subprocess.run([tool, *map(str, args)], input=frame, capture_output=True, text=True, check=True).stdout
    return np.array([[float(f) for f in line.split()] for line in out.splitlines()])


def report(name, value, limit, ok):
    global failures
    print(f"{name:44} {value:.3g} (limit {limit}) {'ok' if ok else 'DIFFERS'}")
    failures += not ok


def boxcar(image, c, h):
    rows = np.arange(H)[:, None]
    weights = np.clip(np.minimum(rows + 0.5, c + h) - np.maximum(rows - 0.5, c - h), 0, None)
    return (image * weights).sum(axis=0), weights


# Boxcar without sky, against specreduce.
HALF = 7.0
ours = run("boxcar", HALF, GAIN, RN, "none")
trace = ArrayTrace(data.astype(float), ours[:, 1])
theirs = BoxcarExtract(data.astype(float), trace, width=2 * HALF).spectrum.flux.value
diff = np.max(np.abs(ours[:, 2] - theirs)) / np.max(np.abs(theirs))
report("boxcar vs specreduce BoxcarExtract", diff, 1e-9, diff <= 1e-9)
err = np.abs(ours[:, 1] - centre).max()
report("trace vs truth, pixels", err, 0.05, err <= 0.05)

# Boxcar less the median sky of two bands, against numpy.
OFFSET, WIDTH = 11.0, 15.0
ours = run("boxcar", HALF, GAIN, RN, "median", OFFSET, WIDTH)
c = ours[:, 1]
rows = np.arange(H)[:, None].astype(float)
in_bands = ((rows >= c - OFFSET - WIDTH) & (rows <= c - OFFSET)) | ((rows >= c + OFFSET) & (rows <= c + OFFSET + WIDTH))
sky_level = np.array([np.median(data[in_bands[:, k], k].astype(float)) for k in range(W)])
flux, weights = boxcar(data - sky_level, c, HALF)
diff = np.max(np.abs(ours[:, 2] - flux)) / np.max(np.abs(flux))
report("boxcar less median sky vs numpy", diff, 1e-9, diff <= 1e-9)
diff = np.max(np.abs(ours[:, 4] - sky_level * weights.sum(axis=0))) / np.max(sky_level * weights.sum(axis=0))
report("sky spectrum vs numpy", diff, 1e-9, diff <= 1e-9)
clean = ~np.array([rays[:, k][np.abs(np.arange(H) - centre[k]) < HALF + 1].any() for k in range(W)])
rel = np.median(np.abs(ours[clean, 2] / spectrum[clean] - 1))
report("boxcar vs true spectrum, median |ratio - 1|", rel, 0.005, rel <= 0.005)

# Cosmic rays against astroscrappy.
flagged = run("cosmics", GAIN, RN).astype(int)
ours_mask = np.zeros(data.shape, bool)
if flagged.size:
    ours_mask[flagged[:, 1], flagged[:, 0]] = True
theirs_mask, _ = astroscrappy.detect_cosmics(data, sigclip=4.5, sigfrac=0.3, objlim=5.0, gain=GAIN, readnoise=RN,
                                             satlevel=1e30, niter=4, sepmed=False, cleantype="medmask",
                                             fsmode="median")
both = (ours_mask & theirs_mask).sum()
union = (ours_mask | theirs_mask).sum()
print(f"cosmic-ray pixels: ours {ours_mask.sum()}, astroscrappy {theirs_mask.sum()}, both {both}, rays {rays.sum()}")
report("masks: in common / in either", both / union, 0.9, both / union >= 0.9)
# astroscrappy leaves the pixels at the frame's edge alone; ours reflects its medians there.
inner = np.zeros(data.shape, bool)
inner[3:-3, 3:-3] = True
both_inner = (ours_mask & theirs_mask & inner).sum() / max(((ours_mask | theirs_mask) & inner).sum(), 1)
report("masks off the edge: in common / in either", both_inner, 0.99, both_inner >= 0.99)
strong = rays & ((data - mean) > 5 * np.sqrt(mean / GAIN + (RN / GAIN) ** 2))
share = (ours_mask & strong).sum() / strong.sum()
report("strong ray pixels ours finds", share, 0.95, share >= 0.95)
print(f"strong ray pixels astroscrappy finds {(theirs_mask & strong).sum() / strong.sum():.3g}")

sys.exit(1 if failures else 0)
