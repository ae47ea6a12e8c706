"""Loads a 3072-pixel FITS lamp with lxr4-script and checks the spectrum it
extracts at the detector's own pixels against numpy's sum of the same frame
rows, the rows the program's path label names."""
import re
import subprocess
import sys

import numpy as np
from astropy.io import fits

program, frame = sys.argv[1], sys.argv[2]
script = f"open {frame}\nclick cmdload2\nshow lblfiledata2\nstate CalNativeWidth\nstate CalNativeSpectrum 1 3072\n"
run = subprocess.run([program, "-"], input=script, capture_output=True, text=True, timeout=60, check=True)
lines = run.stdout.splitlines()
label = next(l for l in lines if l.startswith("caption lblfiledata2"))
first, last = map(int, re.search(r"rows (\d+)-(\d+)", label).groups())
assert "state CalNativeWidth 3072" in lines, lines
values = next(l for l in lines if l.startswith("state CalNativeSpectrum 1 3072 ")).split()[4:]
ours = np.array([float(v) for v in values])

data = fits.getdata(frame).astype(np.float64)
truth = data[first - 1:last, :].sum(axis=0)
assert ours.shape == truth.shape, (ours.shape, truth.shape)
worst = np.max(np.abs(ours - truth) / np.maximum(np.abs(truth), 1))
assert worst < 1e-6, worst  # float32 pixels summed in another order
print(f"rows {first}-{last}: 3072 pixels agree with numpy to {worst:.1e}")
