#!/usr/bin/env python3
"""How far two sets of traces lie apart where they are not the same bytes:
the largest difference of every float column (with the trace and frame
where it is), and whether the discrete columns (the frame, the director's
state, the pose, the fire's flag and the sound events) and the row counts
agree. For a change that may move the floats' last digits but must leave
the scene's story alone, such as new arithmetic; exits 1 when anything
discrete differs.

    tools/trace-drift.py BEFORE AFTER     two trace files, or two folders
                                          (their *.csv files of the same name)
"""
import math
import pathlib
import sys

discrete = {"frame", "directorState", "poseMode", "poseStep", "burning", "events"}


def rows(path):
    return [line.rstrip("\r").split(",") for line in path.read_text().splitlines()]


def pairs(before, after):
    if before.is_dir():
        for old in sorted(before.glob("*.csv")):
            new = after / old.name
            if new.exists():
                yield old.name, old, new
            else:
                yield old.name, old, None
    else:
        yield before.name, before, after


def main():
    before, after = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    largest = {}  # column: (difference, trace, frame)
    problems = []
    traces = same = 0
    for name, old, new in pairs(before, after):
        traces += 1
        if new is None:
            problems.append(f"{name}: missing")
            continue
        a, b = rows(old), rows(new)
        if a == b:
            same += 1
        if a[:1] != b[:1] or len(a) != len(b):
            problems.append(f"{name}: header or row count differ ({len(a) - 1} / {len(b) - 1} rows)")
            continue
        columns = a[0]
        for x, y in zip(a[1:], b[1:]):
            for column, u, v in zip(columns, x, y):
                if column in discrete:
                    if u != v:
                        problems.append(f"{name}: {column} at frame {x[0]}: {u} / {v}")
                    continue
                d = abs(float(u) - float(v))
                if math.isnan(d) or d > largest.get(column, (-1.0,))[0]:
                    largest[column] = (d, name, x[0])
    print(f"{traces} traces, {same} the same bytes")
    for column, (d, name, frame) in sorted(largest.items(), key=lambda item: -item[1][0]):
        print(f"  {column:18} {d:.3g}" + (f"  ({name}, frame {frame})" if d > 0 else ""))
    if problems:
        print(f"discrete columns differ ({len(problems)}):")
        for p in problems[:20]:
            print("  " + p)
        return 1
    print("the frame, state, pose, fire and sound events agree in every row")
    return 0


sys.exit(main())
