#!/usr/bin/env python3
"""Mutation testing for Vexarion: how many small faults do the tests catch?

  tools/mutate.py sample --tree . --seed 1 --count 220 --out mutants.json
  xvfb-run -a -s "-screen 0 1280x1024x24" \
      tools/mutate.py run --tree . --mutants mutants.json --work /tmp/mut
  tools/mutate.py compare /tmp/mut-before /tmp/mut-after

`sample` lists every single-point mutant of the program's code (app/,
model/, scene/, effects/, sound/ and platform's backend-neutral files):
relational and arithmetic operator swaps, changed constants, negated
conditions and deleted statements; then draws a fixed, seeded sample.

`run` measures that sample against one tree's tests. It builds the tree
once, with coverage and with its core as a shared library (one object to
recompile and one library to relink per mutant; the test executables only
load it), and runs every test case alone to learn which lines each one
executes and how long it takes. Then it applies each mutant, rebuilds, and
runs only the test cases that execute the mutated line, fastest first,
stopping at the first failure. The soak and the damaged-content runs are
left out by default: they check that nothing crashes over long random runs,
and would cost minutes per surviving mutant. A mutant is
killed (a test failed or crashed), timed out (over its time limit: three
times the baseline time of its tests plus ten seconds), survived, or invalid
(it does not compile; left out of the rate). Mutants are matched to the tree
by their line's text, so one sample can be measured on two versions of the
tests. The kill rate counts killed and timed-out mutants over valid ones.
"""
import argparse
import glob
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FOLDERS = ["app", "model", "scene", "effects", "sound", "replay", "platform", "platform/shared"]
# Only the top of each folder is sampled: platform/'s backends live in its
# subfolders and talk to their systems, while its service headers and the
# code the backends share (platform/shared/) take part. The entry points
# (app/main.cpp, programs/) are left out.
SKIP_FILES = re.compile(r"^app/main\.cpp$")
SLOW_TESTS = re.compile(r"^test_e2e_")


# --- sampling -------------------------------------------------------------

def sourceFiles(tree):
    files = []
    for folder in FOLDERS:
        for ext in ("cpp", "h"):
            for path in sorted(glob.glob(os.path.join(tree, folder, "*." + ext))):
                rel = os.path.relpath(path, tree)
                if SKIP_FILES.search(rel):
                    continue
                files.append(rel)
    return files


def codeOf(line):
    """The line with string and character literals blanked and any // comment cut."""
    out, i, quote = [], 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(quote if c == quote else " ")
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


OPERATOR_SWAPS = [
    (r"(?<=\s)<(?=\s)", "<="), (r"(?<=\s)<=(?=\s)", "<"), (r"(?<=\s)>(?=\s)", ">="),
    (r"(?<=\s)>=(?=\s)", ">"), (r"(?<=\s)==(?=\s)", "!="), (r"(?<=\s)!=(?=\s)", "=="),
    (r"(?<=\s)\+(?=\s)", "-"), (r"(?<=\s)-(?=\s)", "+"), (r"(?<=\s)\*(?=\s)", "/"),
    (r"(?<=\s)/(?=\s)", "*"), (r"(?<=\s)&&(?=\s)", "||"), (r"(?<=\s)\|\|(?=\s)", "&&"),
    (r"(?<=\s)\+=(?=\s)", "-="), (r"(?<=\s)-=(?=\s)", "+="),
]
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*(?:e[-+]?\d+)?f?|\d+(?:e[-+]?\d+)f?|\d+)(?![\w.])")
CONDITION = re.compile(r"\b(if|while)\s*\(")
NOT_A_STATEMENT = re.compile(r"^\s*(return|break|continue|case|default|const|static|enum|struct|using|"
                             r"typedef|namespace|extern|template|for|if|while|else|do|#|}|{)\b")
DECLARATION = re.compile(r"^\s*[\w:<>,\*&]+(\s+[\w:<>,\*&]+)*\s+[\*&]?\w+(\[[^\]]*\])?\s*(=|;|\{|\()")


def changedNumber(text):
    if re.fullmatch(r"\d+", text):
        return str(int(text) + 1)
    value = float(text.rstrip("f"))
    new = value * 1.5 if value != 0.0 else 1.0
    return repr(new) + ("f" if text.endswith("f") else "")


def closingParen(code, start):
    depth = 0
    for i in range(start, len(code)):
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def mutantsOfLine(line):
    code = codeOf(line)
    stripped = code.strip()
    if not stripped or stripped.startswith(("#", "//", "*", "/*")) or "static_assert" in code:
        return []
    found = []
    for pattern, replacement in OPERATOR_SWAPS:
        for m in re.finditer(pattern, code):
            found.append(("operator", line[:m.start()] + replacement + line[m.end():]))
    in_array_size = re.search(r"\w\s*\[[^\]]*\]\s*(=|;)", code) and re.match(r"^\s*(const\s+)?[\w:]+\s+\w+\s*\[", code)
    if not in_array_size and not stripped.startswith(("enum", "case")):
        for m in NUMBER.finditer(code):
            found.append(("constant", line[:m.start()] + changedNumber(m.group(1)) + line[m.end():]))
    for m in CONDITION.finditer(code):
        open_at = m.end() - 1
        close_at = closingParen(code, open_at)
        if close_at > 0:
            found.append(("negation", line[:open_at + 1] + "!(" + line[open_at + 1:close_at] + "))" +
                          line[close_at + 1:]))
    if (stripped.endswith(";") and not NOT_A_STATEMENT.search(code) and not DECLARATION.search(code)
            and code.count("(") == code.count(")") and not stripped.startswith((")", "+", "-", "*", "/", "<", ">", "&", "|", "?", ":"))):
        indent = line[:len(line) - len(line.lstrip())]
        found.append(("deletion", indent + ";  // deleted: " + line.strip()))
    return found


def sample(args):
    candidates = []
    for rel in sourceFiles(args.tree):
        with open(os.path.join(args.tree, rel)) as f:
            lines = f.read().split("\n")
        in_comment = False
        for number, line in enumerate(lines, 1):
            s = line.strip()
            if in_comment:
                in_comment = "*/" not in s
                continue
            if s.startswith("/*"):
                in_comment = "*/" not in s
                continue
            for kind, mutated in mutantsOfLine(line):
                candidates.append({"file": rel, "line": number, "kind": kind,
                                   "original": line, "mutated": mutated})
    rng = random.Random(args.seed)
    # Kept in drawn order, so that the mutants measured so far are always a
    # random sample of the whole.
    chosen = rng.sample(candidates, min(args.count, len(candidates)))
    for i, m in enumerate(chosen):
        m["id"] = i
    with open(args.out, "w") as f:
        json.dump(chosen, f, indent=1)
    kinds = {}
    for m in chosen:
        kinds[m["kind"]] = kinds.get(m["kind"], 0) + 1
    print("%d candidates, %d sampled (seed %d): %s" % (len(candidates), len(chosen), args.seed, kinds))


# --- running --------------------------------------------------------------

def log(message):
    print(time.strftime("%H:%M:%S ") + message, flush=True)


def sh(command, cwd=None, timeout=None, quiet=True):
    return subprocess.run(command, cwd=cwd, timeout=timeout, shell=isinstance(command, str),
                          stdout=subprocess.DEVNULL if quiet else None,
                          stderr=subprocess.DEVNULL if quiet else None).returncode


def configure(tree, build, extra):
    os.makedirs(build, exist_ok=True)
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        if sh(["cmake", "-S", tree, "-B", build] + extra, quiet=False) != 0:
            sys.exit("configure failed: " + build)


def build(build_dir, jobs, targets=None):
    command = ["cmake", "--build", build_dir, "-j%d" % jobs]
    if targets:
        command += ["--target"] + targets
    return sh(command) == 0


def testCases(build_dir, exclude):
    """(executable, case) for every non-slow test case not matching exclude."""
    cases = []
    for exe in sorted(glob.glob(os.path.join(build_dir, "test_*"))):
        name = os.path.basename(exe)
        if not os.access(exe, os.X_OK) or "." in name or SLOW_TESTS.search(name):
            continue
        listing = subprocess.run([exe, "--gtest_list_tests"], capture_output=True, text=True).stdout
        suite = None
        for line in listing.splitlines():
            if not line.startswith(" "):
                suite = line.split("#")[0].strip()
            elif suite:
                case = suite + line.split("#")[0].strip()
                if not (exclude and re.search(exclude, case)):
                    cases.append((name, case))
    return cases


def runCase(build_dir, exe, case, timeout):
    """'pass', 'fail' or 'timeout', and the seconds it took."""
    start = time.time()
    try:
        code = subprocess.run([os.path.join(build_dir, exe), "--gtest_filter=" + case],
                              cwd=build_dir, timeout=timeout, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, start_new_session=True).returncode
    except subprocess.TimeoutExpired:
        # start_new_session puts the case and its children in one group.
        return "timeout", time.time() - start
    return ("pass" if code == 0 else "fail"), time.time() - start


def coveredLines(tree, build_dir):
    """{relative file: set of executed lines} from the .gcda files under build_dir."""
    lines = {}
    gcdas = glob.glob(os.path.join(build_dir, "CMakeFiles", "**", "*.gcda"), recursive=True)
    gcdas = [g for g in gcdas if "test_" not in os.path.basename(os.path.dirname(g))
             and "vexarion_test_support" not in g]
    for gcda in gcdas:
        out = subprocess.run(["gcov", "--json-format", "--stdout", "-o", os.path.dirname(gcda), gcda],
                             cwd=build_dir, capture_output=True).stdout
        for chunk in out.split(b"\n"):
            if not chunk.strip():
                continue
            try:
                data = json.loads(chunk)
            except ValueError:
                continue
            for f in data.get("files", []):
                path = f["file"]
                path = os.path.relpath(path if os.path.isabs(path) else os.path.join(build_dir, path), tree)
                hit = lines.setdefault(path, set())
                for entry in f["lines"]:
                    if entry["count"] > 0:
                        hit.add(entry["line_number"])
    return lines


def measureCoverage(tree, work, cov, exclude):
    """Per test case: its baseline seconds and the lines it executes. Cached."""
    cache = os.path.join(work, "coverage.json")
    if os.path.exists(cache):
        with open(cache) as f:
            return json.load(f)
    result = {"cases": {}, "failing": []}
    cases = testCases(cov, exclude)
    log("%d test cases to trace" % len(cases))
    for exe, case in cases:
        for gcda in glob.glob(os.path.join(cov, "CMakeFiles", "**", "*.gcda"), recursive=True):
            os.remove(gcda)
        outcome, seconds = runCase(cov, exe, case, 600)
        if outcome != "pass":
            result["failing"].append(case)
            log("  baseline %s: %s (left out)" % (case, outcome))
            continue
        covered = coveredLines(tree, cov)
        result["cases"][exe + " " + case] = {
            "seconds": seconds, "lines": {f: sorted(l) for f, l in covered.items() if l}}
    with open(cache, "w") as f:
        json.dump(result, f)
    return result


def locate(lines, mutant):
    """Index of the mutant's original line in lines: at its number, else the nearest equal line."""
    at = mutant["line"] - 1
    if 0 <= at < len(lines) and lines[at] == mutant["original"]:
        return at
    same = [i for i, l in enumerate(lines) if l == mutant["original"]]
    return min(same, key=lambda i: abs(i - at)) if same else None


def run(args):
    tree = os.path.abspath(args.tree)
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    os.environ.setdefault("ALSOFT_DRIVERS", "null")
    # Stopped from outside, it still puts the mutated file back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    with open(args.mutants) as f:
        mutants = json.load(f)
    mut = os.path.join(work, "build")
    configure(tree, mut, ["-DCMAKE_BUILD_TYPE=None", "-DCMAKE_CXX_FLAGS=-O1 --coverage",
                          "-DCMAKE_C_FLAGS=-O1 --coverage", "-DCMAKE_EXE_LINKER_FLAGS=--coverage",
                          "-DCMAKE_SHARED_LINKER_FLAGS=--coverage",
                          "-DCMAKE_PROJECT_INCLUDE=" + os.path.join(HERE, "mutation", "shared_core.cmake")])
    log("building")
    if not build(mut, args.jobs):
        sys.exit("the build failed")
    coverage = measureCoverage(tree, work, mut, args.exclude)
    # Which cases execute each line, and how long each case takes.
    byLine = {}
    for key, info in coverage["cases"].items():
        for path, numbers in info["lines"].items():
            for n in numbers:
                byLine.setdefault((path, n), []).append(key)
    seconds = {key: info["seconds"] for key, info in coverage["cases"].items()}

    targets = ["vexarion_core", "vexarion-replay"]

    results = []
    originals = {}
    try:
        for mutant in mutants:
            path = os.path.join(tree, mutant["file"])
            if not os.path.exists(path):
                results.append(dict(mutant, outcome="gone"))
                continue
            if mutant["file"] not in originals:
                for done, text in originals.items():
                    with open(os.path.join(tree, done), "w") as f:
                        f.write(text)
                originals = {}
                with open(path) as f:
                    originals[mutant["file"]] = f.read()
            lines = originals[mutant["file"]].split("\n")
            at = locate(lines, mutant)
            record = dict(mutant)
            if at is None:
                record["outcome"] = "gone"
                results.append(record)
                continue
            lines[at] = mutant["mutated"]
            with open(path, "w") as f:
                f.write("\n".join(lines))
            if not build(mut, args.jobs, targets):
                record["outcome"] = "invalid"
                results.append(record)
                log("#%d %s:%d %s: invalid" % (mutant["id"], mutant["file"], at + 1, mutant["kind"]))
                continue
            # The optimiser folds some lines into their neighbours: those take
            # the cases of the nearest line that has any.
            near = []
            for offset in (0, -1, 1, -2, 2, -3, 3):
                near = byLine.get((mutant["file"], at + 1 + offset), [])
                if near:
                    break
            if not near:
                # No executable line near it (a table's data, a declaration):
                # every case that runs any of the file's code.
                near = sorted({k for (path, _), keys in byLine.items() if path == mutant["file"] for k in keys})
            chosen = sorted(near, key=lambda k: seconds[k])
            limit = 10.0 + 3.0 * sum(seconds[k] for k in chosen)
            record["outcome"], record["tests"], record["by"] = "survived", len(chosen), None
            started = time.time()
            for key in chosen:
                exe, case = key.split(" ", 1)
                left = limit - (time.time() - started)
                outcome, _ = runCase(mut, exe, case, max(left, 1.0))
                if outcome != "pass":
                    record["outcome"] = "killed" if outcome == "fail" else "timed-out"
                    record["by"] = case
                    break
            results.append(record)
            log("#%d %s:%d %s: %s%s (%d tests, %.0f s)" % (
                mutant["id"], mutant["file"], at + 1, mutant["kind"], record["outcome"],
                " by " + record["by"] if record["by"] else "", len(chosen), time.time() - started))
            with open(os.path.join(work, "results.json"), "w") as f:
                json.dump(results, f, indent=1)
    finally:
        for done, text in originals.items():
            with open(os.path.join(tree, done), "w") as f:
                f.write(text)
    build(mut, args.jobs, targets)
    report(results, coverage, args.report)


def report(results, coverage, out_path):
    count = {}
    for r in results:
        count[r["outcome"]] = count.get(r["outcome"], 0) + 1
    valid = sum(count.get(k, 0) for k in ("killed", "timed-out", "survived"))
    caught = count.get("killed", 0) + count.get("timed-out", 0)
    lines = ["mutants: %d sampled, %d valid (%d invalid, %d gone)" % (
                 len(results), valid, count.get("invalid", 0), count.get("gone", 0)),
             "killed %d, timed out %d, survived %d" % (
                 count.get("killed", 0), count.get("timed-out", 0), count.get("survived", 0)),
             "kill rate: %.1f%%" % (100.0 * caught / valid if valid else 0.0),
             "test cases traced: %d (failing at baseline, left out: %s)" % (
                 len(coverage["cases"]), ", ".join(coverage["failing"]) or "none"),
             "survivors:"]
    for r in results:
        if r["outcome"] == "survived":
            lines.append("  #%d %s:%d [%s, %d tests] %s  ->  %s" % (
                r["id"], r["file"], r["line"], r["kind"], r["tests"], r["original"].strip(),
                r["mutated"].strip()))
    text = "\n".join(lines) + "\n"
    print(text)
    if out_path:
        with open(out_path, "w") as f:
            f.write(text)


def compare(before_work, after_work):
    """Kill rates of two measurements over the mutants both have finished."""
    runs = []
    for work in (before_work, after_work):
        with open(os.path.join(work, "results.json")) as f:
            runs.append({r["id"]: r for r in json.load(f)})
    common = sorted(set(runs[0]) & set(runs[1]))
    valid = [i for i in common if all(run[i]["outcome"] in ("killed", "timed-out", "survived") for run in runs)]
    caught = [sum(run[i]["outcome"] != "survived" for i in valid) for run in runs]
    print("%d mutants finished in both, %d valid in both" % (len(common), len(valid)))
    for name, n in zip(("before", "after"), caught):
        print("%s: %d of %d caught, kill rate %.1f%%" % (name, n, len(valid), 100.0 * n / len(valid) if valid else 0))
    for label, test in (("caught before, survived after", lambda b, a: b != "survived" and a == "survived"),
                        ("survived before, caught after", lambda b, a: b == "survived" and a != "survived"),
                        ("survived both", lambda b, a: b == "survived" and a == "survived")):
        print(label + ":")
        for i in valid:
            if test(runs[0][i]["outcome"], runs[1][i]["outcome"]):
                r = runs[1][i]
                print("  #%d %s:%d [%s] %s  ->  %s" % (i, r["file"], r["line"], r["kind"], r["original"].strip(),
                                                       r["mutated"].strip()))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("sample", help="draw a seeded sample of mutants")
    p.add_argument("--tree", default=".")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--count", type=int, default=220)
    p.add_argument("--out", required=True)
    p = sub.add_parser("run", help="measure a sample against a tree's tests")
    p.add_argument("--tree", default=".")
    p.add_argument("--mutants", required=True)
    p.add_argument("--work", required=True, help="build folders and caches; reused between runs")
    p.add_argument("--jobs", type=int, default=1)
    p.add_argument("--exclude", default=r"^Soak\.|BadContent|NoContent", help="regex of test cases left out")
    p.add_argument("--report")
    p = sub.add_parser("compare", help="compare two measurements over the mutants both have finished")
    p.add_argument("before")
    p.add_argument("after")
    p = sub.add_parser("report", help="print the report of a finished or running measurement")
    p.add_argument("--work", required=True)
    p.add_argument("--report")
    args = parser.parse_args()
    if args.command == "sample":
        sample(args)
    elif args.command == "run":
        run(args)
    elif args.command == "compare":
        compare(args.before, args.after)
    else:
        with open(os.path.join(args.work, "results.json")) as f:
            results = json.load(f)
        with open(os.path.join(args.work, "coverage.json")) as f:
            coverage = json.load(f)
        report(results, coverage, args.report)


if __name__ == "__main__":
    main()
