#!/usr/bin/env python3
"""after.py IN OUT: the text ExtractText now chooses, composed from the
strategies run on their own (tessaly-textprobe) and the model of the FIB
position road: piece table, FIB position, stream start, carving."""
import glob
import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
probe = os.environ.get("TESSALY_TEXTPROBE", os.path.join(here, "../../build/bench/textrecovery/tessaly-textprobe"))
src, out = sys.argv[1], sys.argv[2]
prefix = out + ".part"
for f in glob.glob(prefix + ".*"):
    os.remove(f)
subprocess.run([probe, src, out + ".first", prefix], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
road = None
if not os.path.exists(prefix + ".foreign"):
    r = subprocess.run([sys.executable, os.path.join(here, "specified_road.py"), src, out + ".road"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if r.returncode == 0:
        road = out + ".road"
for candidate in (prefix + ".pt", road, prefix + ".ss", prefix + ".cv"):
    if candidate and os.path.exists(candidate):
        os.replace(candidate, out)
        break
for f in glob.glob(prefix + ".*") + [out + ".first", out + ".road"]:
    if os.path.exists(f):
        os.remove(f)
