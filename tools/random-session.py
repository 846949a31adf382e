#!/usr/bin/env python3
"""A long random session for the trace tests (tests/stories/random.txt):
keys held and let go, lightning and the tornado at random frames, the intro
included, and now and then a frame much longer or shorter than the rest, as
a live session has them. The same arguments always write the same script.

    tools/random-session.py SEED FRAMES DT > tests/stories/random.txt
"""
import random
import sys

seed, frames, dt = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
rng = random.Random(seed)
print(f"# A random session, made by tools/random-session.py {seed} {frames} {dt}.")
print(f"# frames {frames}")
print(f"# dt {dt}")
held = set()
frame = 20
while frame < frames:
    pick = rng.random()
    if pick < 0.06:
        print(f"{frame} type L")
    elif pick < 0.09:
        print(f"{frame} type t")
    elif pick < 0.12:
        print(f"{frame} type T")
    elif pick < 0.16:
        print(f"{frame} time {rng.uniform(0.001, 0.1):.6f}")
    else:
        key = rng.choice(["E", "W", "SHIFT", "F"])
        print(f"{frame} {'release' if key in held else 'press'} {key}")
        held ^= {key}
    frame += rng.randint(1, 25)
