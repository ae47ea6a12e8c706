#!/usr/bin/python3
"""The peer of bench/reduce_bench.cpp: ccdproc's Combiner on 20 frames of
SIZE x SIZE 16-bit values (about 5 counts of noise about 1000, one value in a
thousand a cosmic ray), made once: median_combine, and sigma_clipping (3 and 3
about the median by the standard deviation, one pass) then average_combine.
Prints each one's wall time, the median of RUNS runs. SIZE 1024 (the default)
takes about 1 GB; 4096, a full camera frame, takes 13.5 GB and minutes.
Usage: reduce_peer_ccdproc.py [SIZE [RUNS]]"""
import sys
import time
import warnings

import numpy as np
import astropy.units as u

warnings.simplefilter("ignore")
from astropy.nddata import CCDData  # noqa: E402
import ccdproc  # noqa: E402

size = int(sys.argv[1]) if len(sys.argv) > 1 else 1024
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 1
rng = np.random.default_rng(1)
frames = []
for _ in range(20):
    f = (970 + rng.integers(0, 16, (4, size, size), dtype=np.uint16).sum(axis=0, dtype=np.uint16)).astype(np.float32)
    hits = rng.integers(0, size * size, size * size // 1000)
    f.reshape(-1)[hits] += rng.integers(0, 30000, hits.size).astype(np.float32)
    frames.append(CCDData(f, unit=u.adu))


def timed(work):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return sorted(times)[len(times) // 2] * 1000


def clipped():
    c = ccdproc.Combiner(frames)
    c.sigma_clipping(low_thresh=3, high_thresh=3, func="median", dev_func="std")
    return c.average_combine()


print(f"ccdproc median of 20 x {size} x {size}       {timed(lambda: ccdproc.Combiner(frames).median_combine()):11.0f} ms")
print(f"ccdproc sigma clip of 20 x {size} x {size}   {timed(clipped):11.0f} ms")
