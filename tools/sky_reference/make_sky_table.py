#!/usr/bin/env python3
"""Writes tests/data/sky_reference.tsv: topocentric azimuth and elevation of the Moon and the Sun
from PyEphem (Debian package python3-ephem), an implementation independent of the ERFA routines
the program uses. The program's test compares its own values with this table.

    python3 tools/sky_reference/make_sky_table.py > tests/data/sky_reference.tsv

The cases are drawn from a fixed seed, so the same PyEphem version writes the same table:
UTC times over 2020..2035, latitudes -60..+70, any longitude, height 0 m, pressure 0 (no
refraction), both bodies, and for each body an even share of elevations over -10..+85.
"""
import calendar
import math
import random
import sys
import time

import ephem

SEED = 16
YEARS = (2020, 2035)
LATITUDES = (-60.0, 70.0)
ELEVATIONS = (-10.0, 85.0)
BANDS = 19            # 5-degree elevation bands over -10..+85
PER_BAND = 4          # cases per band and body: 76 per body, 152 in all
NEAR_HORIZON = 12     # extra Moon cases with |elevation| < 2, where the parallax is largest


def observe(body_name, unix_seconds, latitude, longitude):
    observer = ephem.Observer()
    observer.lat = str(latitude)
    observer.lon = str(longitude)
    observer.elevation = 0.0
    observer.pressure = 0.0  # no refraction
    observer.date = ephem.Date(
        ephem.Date("1970/1/1 00:00:00") + unix_seconds / 86400.0)
    body = ephem.Moon() if body_name == "Moon" else ephem.Sun()
    body.compute(observer)
    return math.degrees(float(body.az)), math.degrees(float(body.alt))


def random_case(rng):
    start = calendar.timegm((YEARS[0], 1, 1, 0, 0, 0))
    end = calendar.timegm((YEARS[1] + 1, 1, 1, 0, 0, 0))
    unix_seconds = rng.randrange(start, end)
    latitude = round(rng.uniform(*LATITUDES), 4)
    longitude = round(rng.uniform(-180.0, 180.0), 4)
    return unix_seconds, latitude, longitude


def main():
    rng = random.Random(SEED)
    rows = []
    for body_name in ("Moon", "Sun"):
        filled = [0] * BANDS
        near_horizon = 0
        wanted_near = NEAR_HORIZON if body_name == "Moon" else 0
        while min(filled) < PER_BAND or near_horizon < wanted_near:
            unix_seconds, latitude, longitude = random_case(rng)
            azimuth, elevation = observe(body_name, unix_seconds, latitude, longitude)
            if not ELEVATIONS[0] <= elevation < ELEVATIONS[1]:
                continue
            band = int((elevation - ELEVATIONS[0]) // 5)
            if abs(elevation) < 2.0 and near_horizon < wanted_near:
                near_horizon += 1
            elif filled[band] < PER_BAND:
                filled[band] += 1
            else:
                continue
            rows.append((unix_seconds, latitude, longitude, body_name, azimuth, elevation))

    out = sys.stdout
    out.write("# Topocentric Moon and Sun, no refraction, height 0 m: PyEphem %s, "
              "tools/sky_reference/make_sky_table.py\n" % ephem.__version__)
    out.write("# utc_seconds\tutc\tlatitude\tlongitude\tbody\tazimuth\televation\n")
    for unix_seconds, latitude, longitude, body_name, azimuth, elevation in rows:
        utc = "%04d-%02d-%02dT%02d:%02d:%02dZ" % tuple(
            time.gmtime(unix_seconds)[:6])
        out.write("%d\t%s\t%.4f\t%.4f\t%s\t%.5f\t%.5f\n"
                  % (unix_seconds, utc, latitude, longitude, body_name, azimuth, elevation))


if __name__ == "__main__":
    main()
