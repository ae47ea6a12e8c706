#!/usr/bin/python3
"""measure_numbers' barycentric correction against astropy.

24 mid-exposures through 2022 (inside the IERS table astropy ships, so its
UT1 and polar motion are real; no download: there is no network) for one
target and site: astropy's SkyCoord.radial_velocity_correction('barycentric')
with the same half exposure added must agree within 0.01 km/s.
Usage: barycentric_astropy_check.py MEASURE_NUMBERS"""
import subprocess
import sys
import warnings

from astropy.utils import iers
iers.conf.auto_download = False
warnings.simplefilter("ignore")

import astropy.units as u  # noqa: E402
from astropy.coordinates import EarthLocation, SkyCoord  # noqa: E402
from astropy.time import Time, TimeDelta  # noqa: E402

tool = sys.argv[1]
ra, dec = 279.23473479, 38.78368896          # Vega
lon, lat, height = -17.8792, 28.7606, 2326.0  # La Palma
exptime = 1800.0
site = EarthLocation.from_geodetic(lon=lon * u.deg, lat=lat * u.deg, height=height * u.m)
target = SkyCoord(ra=ra * u.deg, dec=dec * u.deg, frame="icrs")
failures = 0

for k in range(24):
    start = Time("2022-01-03T21:17:42.5", scale="utc") + TimeDelta(k * 15.2 * 86400 + k * 3600.0, format="sec")
    date_obs = start.isot
    mid = start + TimeDelta(exptime / 2, format="sec")
    theirs = target.radial_velocity_correction("barycentric", obstime=mid, location=site).to_value(u.km / u.s)
    out = subprocess.run([tool, "barycentric", date_obs, str(exptime), str(ra), str(dec), str(lon), str(lat),
                          str(height)], capture_output=True, text=True, check=True).stdout
    ours = float(out)
    ok = abs(ours - theirs) <= 0.01
    print(f"{date_obs} ours {ours:10.5f} astropy {theirs:10.5f} km/s diff {1000 * (ours - theirs):7.2f} m/s "
          f"{'ok' if ok else 'DIFFERS'}")
    failures += not ok

sys.exit(1 if failures else 0)
