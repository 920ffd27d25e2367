#!/usr/bin/env python3
"""The work behind scripts/mutation-sample.sh; its header says what this does."""

import argparse
import fcntl
import hashlib
import json
import os
import random
import re
import signal
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
WORK = os.path.join(ROOT, "build-mutation")
TREE = os.path.join(WORK, "tree")
BUILD = os.path.join(WORK, "build")
LOGS = os.path.join(WORK, "logs")
BASELINE = os.path.join(WORK, "baseline.json")
SAMPLED_DIRS = ("src/", "tools/")
SAMPLED_SUFFIXES = (".cpp", ".h")
# The same compiler flags as the project's own build, less the debug
# information, which only slows every relink. Warnings stay warnings: a
# dropped statement often leaves a parameter unused, and such a mutant is
# still a fault the tests should see.
CONFIGURE = ["-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DA320_WERROR=OFF",
             "-DA320_WITH_BENCHMARKS=OFF", "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG",
             "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"]
TEST_TIMEOUT_MAX = 300
BUILD_TIMEOUT = 3600


class Failure(Exception):
    """Something that stops the whole run, with what to do about it."""


# ---------------------------------------------------------------- sources

def mask(text):
    """The text with comments blanked and the insides of string and character
    literals replaced by '_', same length and same line breaks, so that code
    patterns can be searched without matching inside either."""
    out = list(text)
    i, n = 0, len(text)
    is_word = lambda ch: ch.isalnum() or ch == "_"

    def blank(a, b, fill):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = fill

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j, " ")
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j, " ")
            i = j
        elif text.startswith('R"', i) and (i == 0 or text[i - 1] in "uUL8" or not is_word(text[i - 1])):
            k = text.find("(", i + 2)
            delim = text[i + 2:k]
            j = text.find(")" + delim + '"', k)
            j = n if j < 0 else j + len(delim) + 2
            blank(i + 2, j - 1, "_")
            i = j
        elif c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum())):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i + 1, min(j, n), "_")
            i = j + 1
        else:
            i += 1
    return "".join(out)


@dataclass
class Site:
    path: str      # relative to the tree
    line: int      # 1-based
    start: int     # offsets into the file's text
    end: int
    replacement: str
    kind: str


LOG_CALL = re.compile(r"\bfprintf\s*\(\s*stderr|(?<![\w])printf\s*\(|\bputs\s*\(|\bperror\s*\(|"
                      r"\bstd::(cerr|clog|cout)\b|\bq(Debug|Info|Warning|Critical)\s*\(")
NO_EFFECT = re.compile(r"\bstatic_assert\b|\bassert\s*\(")
COMPARISON = re.compile(r"(?<= )(<=|>=|==|!=|<|>|&&|\|\|)(?= )")
FLIPPED = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==", "&&": "||", "||": "&&"}
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F']+|(?:\d[\d']*(?:\.\d*)?|\.\d+)(?:[eE][+-]?\d+)?)([uUlLfF]*)(?![\w.'])")
BOOLEAN = re.compile(r"\b(true|false)\b")
IF = re.compile(r"\bif\s*\(")
KEYWORDS = {"return", "break", "continue", "goto", "case", "default", "using", "namespace", "typedef", "template",
            "static_assert", "throw", "delete", "virtual", "explicit", "friend", "public", "private", "protected",
            "if", "else", "for", "while", "do", "switch", "struct", "class", "enum", "union", "extern", "operator"}
DECLARATION = re.compile(r"^(?:(?:const|constexpr|static|inline|auto|unsigned|signed|volatile|mutable|thread_local)\s+)*"
                         r"[A-Za-z_][\w:]*(?:<.*>)?[\s*&]+[A-Za-z_]\w*\s*(?:[=({\[;,]|$)")
FUNCTION_DECLARATION = re.compile(r"\)\s*(const|override|noexcept|final)\b|\)\s*=\s*(default|delete|0)\s*$")


def matching(masked, open_at, end):
    """Offset of the bracket closing the one at open_at, or -1 before end."""
    depth = 0
    for k in range(open_at, end):
        if masked[k] in "([{":
            depth += 1
        elif masked[k] in ")]}":
            depth -= 1
            if depth == 0:
                return k
    return -1


def step(literal, suffix):
    """The literal moved by one step, or None where that is not a number."""
    body = literal.replace("'", "")
    if body[:2] in ("0x", "0X"):
        return "0x%X%s" % (int(body, 16) + 1, suffix)
    mantissa, _, exponent = body.partition("e") if "e" in body else body.partition("E")
    exponent = (body[len(mantissa)] + exponent) if exponent else ""
    if "." not in mantissa:
        if suffix.lower().startswith("f") or exponent:
            return "%d%s%s" % (int(mantissa) + 1, exponent, suffix)
        if len(mantissa) > 1 and mantissa.startswith("0"):
            return None  # octal: rare enough here to leave alone
        return "%d%s" % (int(mantissa) + 1, suffix)
    whole, _, fraction = mantissa.partition(".")
    if whole and int(whole) >= 1 or not fraction:
        return "%d.%s%s%s" % (int(whole or "0") + 1, fraction, exponent, suffix)
    digits = str(int(fraction) + 1).rjust(len(fraction), "0")
    if len(digits) > len(fraction):  # 0.9 -> 1.0
        return "1.%s%s%s" % ("0" * len(fraction), exponent, suffix)
    return "%s.%s%s%s" % (whole, digits, exponent, suffix)


def sites(path, text):
    """Every mutation site in one file, in order."""
    masked = mask(text)
    line_starts = [0] + [m.end() for m in re.finditer("\n", text)]
    lines = masked.split("\n")
    skipped = set()
    # Preprocessor lines, with their continuations.
    continued = False
    for number, line in enumerate(lines, 1):
        if continued or line.lstrip().startswith("#"):
            skipped.add(number)
            continued = line.rstrip().endswith("\\")
        else:
            continued = False
    # Statements that only log, or that the compiler alone checks.
    segments = []
    begin = 0
    for m in re.finditer(r"[;{}]", masked):
        segments.append((begin, m.start()))
        begin = m.end()
    segments.append((begin, len(masked)))
    for a, b in segments:
        piece = masked[a:b]
        if LOG_CALL.search(piece) or NO_EFFECT.search(piece):
            first = masked.count("\n", 0, a) + 1
            skipped.update(range(first, first + piece.count("\n") + 1))

    found = []

    def add(number, start, end, replacement, kind):
        offset = line_starts[number - 1]
        found.append(Site(path, number, offset + start, offset + end, replacement, kind))

    for number, line in enumerate(lines, 1):
        if number in skipped or not line.strip():
            continue
        original = text[line_starts[number - 1]:line_starts[number - 1] + len(line)]
        for m in COMPARISON.finditer(line):
            add(number, m.start(), m.end(), FLIPPED[m.group(1)], "flip a comparison")
        for m in NUMBER.finditer(line):
            new = step(m.group(1), m.group(2))
            if new is not None:
                add(number, m.start(), m.end(), new, "change a constant")
        for m in BOOLEAN.finditer(line):
            add(number, m.start(), m.end(), "false" if m.group(1) == "true" else "true", "change a constant")
        for m in IF.finditer(line):
            close = matching(line, m.end() - 1, len(line))
            condition = line[m.end():close]
            # Conditions that declare something cannot be negated.
            if close < 0 or ";" in condition or not condition.strip():
                continue
            if re.match(r"\s*(const\b|auto\b|[\w:<>]+[\s*&]+\w+\s*=[^=])", condition):
                continue
            add(number, m.end(), close, "!(" + original[m.end():close] + ")", "swap a branch")
        for m in re.finditer(r"(?<= )\?(?= )", line):
            # The ':' that belongs to this '?', and the end of what follows it.
            depth, nested, colon, end = 0, 0, -1, -1
            for k in range(m.end(), len(line)):
                ch = line[k]
                if ch in "([{":
                    depth += 1
                elif ch in ")]}":
                    depth -= 1
                    if depth < 0:
                        end = k
                        break
                elif depth == 0 and ch == "?":
                    nested += 1
                elif depth == 0 and ch == ":" and line[k - 1] == " " and k + 1 < len(line) and line[k + 1] == " ":
                    if colon < 0 and nested == 0:
                        colon = k
                    elif nested:
                        nested -= 1
                elif depth == 0 and ch in ",;" and colon >= 0:
                    end = k
                    break
            if colon < 0 or end < 0:
                continue
            then_part = original[m.end():colon].strip()
            else_part = original[colon + 1:end].strip()
            if then_part and else_part and then_part != else_part:
                add(number, m.end(), end, " %s : %s" % (else_part, then_part), "swap a branch")
        # A statement that fills its line alone.
        body = line.strip()
        if body.endswith(";") and body.count(";") == 1:
            statement = body[:-1].strip()
            first_word = re.match(r"[A-Za-z_]\w*", statement)
            if (statement and matching("(" + statement + ")", 0, len(statement) + 2) == len(statement) + 1
                    and not (first_word and first_word.group(0) in KEYWORDS)
                    and not DECLARATION.match(statement) and not FUNCTION_DECLARATION.search(statement)
                    and "{" not in statement and "}" not in statement):
                start = line.index(body[0])
                add(number, start, start + len(body), "{}", "drop a statement")
    return found


def describe(text, site):
    """'before' -> 'after', trimmed to the neighbourhood of the change."""
    line_start = text.rfind("\n", 0, site.start) + 1
    line_end = text.find("\n", site.end)
    line_end = len(text) if line_end < 0 else line_end
    before = text[line_start:line_end]
    after = text[line_start:site.start] + site.replacement + text[site.end:line_end]
    a, b = site.start - line_start, site.end - line_start
    left = max(0, a - 24)
    if site.kind == "drop a statement":
        shown_before, shown_after = before.strip(), "{}"
    else:
        shown_before = before[left:b + 24].strip()
        shown_after = after[left:a + len(site.replacement) + 24].strip()
    clip = lambda s: s if len(s) <= 90 else s[:87] + "..."
    return "%s: `%s` -> `%s`" % (site.kind, clip(shown_before), clip(shown_after))


# ------------------------------------------------------------ the private tree

def git_files():
    out = subprocess.run(["git", "-C", ROOT, "ls-files", "-co", "--exclude-standard", "-z"],
                         check=True, capture_output=True).stdout
    return sorted(p for p in out.decode().split("\0") if p and os.path.isfile(os.path.join(ROOT, p)))


def sync_tree(files):
    """Copies the working tree into the private tree. Files whose contents
    differ get a fresh time stamp, so ninja rebuilds exactly those."""
    wanted = set(files)
    for rel in files:
        source, copy = os.path.join(ROOT, rel), os.path.join(TREE, rel)
        with open(source, "rb") as f:
            data = f.read()
        try:
            with open(copy, "rb") as f:
                same = f.read() == data
        except OSError:
            same = False
        if not same:
            os.makedirs(os.path.dirname(copy), exist_ok=True)
            with open(copy, "wb") as f:
                f.write(data)
        shutil.copymode(source, copy)
    for folder, _, names in os.walk(TREE):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.relpath(path, TREE) not in wanted:
                os.remove(path)


def state_key(files, built, extra):
    """What the unmutated tests' verdict depends on: what the build made, and
    the files the tests read as they run (captures, scenarios, CMake's test
    lists). Compiled sources count through what they compiled to, and this
    script's own folder not at all."""
    digest = hashlib.sha256(extra.encode())
    for path in sorted(built):
        digest.update(("%s=%s\n" % (path, built[path])).encode())
    for rel in files:
        if rel.startswith("scripts/") or rel.endswith(SAMPLED_SUFFIXES):
            continue
        digest.update(rel.encode() + b"\0")
        with open(os.path.join(TREE, rel), "rb") as f:
            digest.update(hashlib.sha256(f.read()).digest())
    return digest.hexdigest()


# ------------------------------------------------------------------- running

current = None  # the child running now, killed on the way out


def run(command, log, timeout=None, cwd=BUILD):
    """Runs command in a process group of its own with its output in log;
    returns (exit status, seconds), the status None after a time-out."""
    global current
    started = time.monotonic()
    with open(log, "ab") as out:
        out.write(("$ %s\n" % " ".join(command)).encode())
        out.flush()
        current = subprocess.Popen(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, start_new_session=True)
        try:
            status = current.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            stop_current()
            status = None
        except BaseException:
            stop_current()
            raise
        finally:
            current = None
    return status, time.monotonic() - started


def stop_current():
    child = current
    if child is None or child.poll() is not None:
        return
    for sig, grace in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
        try:
            os.killpg(child.pid, sig)
        except ProcessLookupError:
            return
        try:
            child.wait(timeout=grace)
            return
        except subprocess.TimeoutExpired:
            pass


def ninja_lines(*args):
    out = subprocess.run(["ninja", "-C", BUILD, *args], check=True, capture_output=True, text=True).stdout
    return out.splitlines()


def absolute(path):
    return os.path.normpath(os.path.join(BUILD, path))


def test_binaries(jobs_log):
    """{label: binary} for every test ctest knows; each label is its binary."""
    out = subprocess.run(["ctest", "--test-dir", BUILD, "--show-only=json-v1"], check=True,
                         capture_output=True, text=True).stdout
    binaries = {}
    for test in json.loads(out)["tests"]:
        labels = [v for p in test.get("properties", []) if p["name"] == "LABELS" for v in p["value"]]
        if labels and test.get("command"):
            binaries[labels[0]] = os.path.normpath(test["command"][0])
    if not binaries:
        raise Failure("ctest lists no tests in %s; see %s" % (BUILD, jobs_log))
    return binaries


def reach(binaries):
    """{label: set of absolute paths} of every source and header that goes
    into the test binary or into what it runs, and of every program and
    texture stamp it runs."""
    headers = {}
    obj = None
    for line in ninja_lines("-t", "deps"):
        if line and not line[0].isspace():
            obj = absolute(line.split(":")[0])
            headers[obj] = set()
        elif line.strip() and obj:
            headers[obj].add(absolute(line.strip()))
    reached = {}
    for label, binary in binaries.items():
        inputs = {absolute(p) for p in ninja_lines("-t", "inputs", os.path.relpath(binary, BUILD))}
        files = set(inputs)
        for p in inputs:
            files |= headers.get(p, set())
            # ninja lists the target that paints the textures, not its stamp.
            if os.path.basename(p) == "artwork_data":
                files.add(os.path.join(BUILD, "Data", ".stamp"))
        reached[label] = files
    return reached


def artifacts(reached, binaries):
    """The test binaries, the programs the tests run and the texture folder.
    The program that paints the textures is watched through what it paints."""
    found, stamps = set(binaries.values()), set()
    for files in reached.values():
        for p in files:
            if not p.startswith(BUILD + os.sep):
                continue
            if p.endswith(os.sep + "Data" + os.sep + ".stamp"):
                stamps.add(p)
            elif os.path.isfile(p) and os.access(p, os.X_OK) and not p.endswith((".o", ".a", ".so")):
                found.add(p)
    for stamp in stamps:
        found -= {absolute(p) for p in ninja_lines("-t", "inputs", os.path.relpath(stamp, BUILD))}
    return sorted(found | stamps)


def fingerprint(path):
    digest = hashlib.sha256()
    if path.endswith(os.sep + ".stamp"):  # the textures the stamp stands for
        folder = os.path.dirname(path)
        for sub, _, names in sorted(os.walk(folder)):
            for name in sorted(names):
                if name != ".stamp":
                    digest.update(name.encode())
                    with open(os.path.join(sub, name), "rb") as f:
                        digest.update(f.read())
    else:
        try:
            with open(path, "rb") as f:
                digest.update(f.read())
        except OSError:
            return None
    return digest.hexdigest()


def failed_tests(log, since):
    with open(log, encoding="utf-8", errors="replace") as f:
        f.seek(since)
        text = f.read()
    names = re.findall(r"^\s*\d+ - (\S+) \(([^)]*)\)\s*$", text, re.M)
    return ["%s (%s)" % (n, why) if why != "Failed" else n for n, why in names]


def crashed_on_listing(log):
    """The build lists each test binary's tests by running it; a mutant that
    breaks that compiled and linked, and failed the first run."""
    with open(log, encoding="utf-8", errors="replace") as f:
        return "Error running test executable" in f.read()


def ctest(labels, log, args, timeout):
    """Runs the tests with those labels until the first failure; returns
    (passed or None after the time-out, the tests that failed)."""
    if not labels:
        return True, []
    since = os.path.getsize(log) if os.path.exists(log) else 0
    per_test = TEST_TIMEOUT_MAX if timeout is None else min(TEST_TIMEOUT_MAX, max(30, int(timeout)))
    command = ["ctest", "--test-dir", BUILD, "-L", "^(%s)$" % "|".join(sorted(labels)), "-j", str(args.jobs),
               "--timeout", str(per_test), "--repeat", "until-pass:2", "--output-on-failure", "--no-tests=ignore"]
    if args.exclude:
        command += ["-E", args.exclude]
    if args.stop:
        command.append("--stop-on-failure")
    status, _ = run(command, log, timeout=timeout)
    if status is None:
        return None, []
    return status == 0, failed_tests(log, since) if status else []


def near_labels(path, reached, labels):
    """The test binaries built from the tests that mirror the mutated file."""
    rel = path[len("src/"):] if path.startswith("src/") else path
    stem = os.path.splitext(rel)[0]
    tests = os.path.join(TREE, "tests")
    wanted = [os.path.join(tests, stem + "_test.cpp"), os.path.join(tests, stem.removesuffix("_main") + "_test.cpp")]
    near = {l for l in labels if any(w in reached[l] for w in wanted)}
    if not near:
        folder = os.path.join(tests, os.path.dirname(rel)) + os.sep
        near = {l for l in labels if any(p.startswith(folder) for p in reached[l])}
    return near


# ---------------------------------------------------------------------- main

def main():
    parser = argparse.ArgumentParser(
        prog="scripts/mutation-sample.sh",
        description="Applies N small mutations to src/ and tools/, one at a time, and counts how many the tests catch.")
    parser.add_argument("-n", type=int, default=20, metavar="N", help="how many mutants (default 20)")
    parser.add_argument("-s", "--seed", type=int, default=1, help="picks the mutants (default 1)")
    parser.add_argument("--only", metavar="PATH-PREFIX", default="",
                        help="sample only files whose path (from the repository root) starts with this")
    parser.add_argument("-t", "--timeout", type=float, metavar="SECONDS",
                        help="per-mutant time-out for the tests (default: twice the unmutated run plus a minute)")
    parser.add_argument("-j", "--jobs", type=int, default=2, help="parallel compiles and tests (default 2)")
    parser.add_argument("-E", dest="exclude", metavar="TEST-REGEX", default="",
                        help="leave out the tests whose names match (as ctest -E)")
    parser.add_argument("--list", action="store_true", help="only print the mutants the seed picks")
    args = parser.parse_args()
    if args.n < 1:
        parser.error("-n must be at least 1")
    if args.only and not args.only.startswith(SAMPLED_DIRS) and not any(d.startswith(args.only) for d in SAMPLED_DIRS):
        parser.error("--only %s: mutations go into src/ and tools/ only" % args.only)
    args.stop = True

    os.makedirs(LOGS, exist_ok=True)
    lock = open(os.path.join(WORK, "lock"), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        raise Failure("another mutation-sample.sh is running on %s; wait for it to finish" % WORK)

    # SIGTERM and SIGHUP end the run the way Ctrl-C does.
    def interrupted(signum, _frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGHUP, interrupted)

    setup_log = os.path.join(LOGS, "setup.log")
    open(setup_log, "w").close()
    files = git_files()
    sync_tree(files)
    configured = os.path.join(WORK, "configured-with")
    settings = "\n".join(CONFIGURE) + "\n"
    if (not os.path.exists(os.path.join(BUILD, "build.ninja")) or not os.path.exists(configured)
            or open(configured).read() != settings):
        print("== configuring %s" % os.path.relpath(BUILD, ROOT), flush=True)
        status, _ = run(["cmake", "-S", TREE, "-B", BUILD, *CONFIGURE], setup_log, cwd=ROOT)
        if status != 0:
            raise Failure("cmake could not configure %s; see %s" % (BUILD, setup_log))
        with open(configured, "w") as f:
            f.write(settings)
    print("== building the unmutated tree", flush=True)
    status, seconds = run(["ninja", "-C", BUILD, "-j", str(args.jobs)], setup_log, timeout=BUILD_TIMEOUT)
    if status != 0:
        raise Failure("the unmutated tree does not build; see %s" % setup_log)

    binaries = test_binaries(setup_log)
    reached = reach(binaries)
    labels = set(binaries)
    if shutil.which("Xvfb") is None:
        xvfb = os.path.join(TREE, "tests", "support", "xvfb.cpp")
        left_out = sorted(l for l in labels if xvfb in reached[l])
        labels -= set(left_out)
        print("== no Xvfb: leaving out %s and the code only they reach" % ", ".join(left_out), flush=True)
    sampled = set()
    for label in labels:
        for p in reached[label]:
            rel = os.path.relpath(p, TREE)
            if (p.startswith(TREE + os.sep) and rel.startswith(SAMPLED_DIRS) and rel.endswith(SAMPLED_SUFFIXES)
                    and rel.startswith(args.only)):
                sampled.add(rel)
    if not sampled:
        raise Failure("no file the tests reach starts with %r" % args.only)

    texts, by_line = {}, {}
    for rel in sorted(sampled):
        with open(os.path.join(TREE, rel), encoding="utf-8", newline="") as f:
            texts[rel] = f.read()
        for site in sites(rel, texts[rel]):
            by_line.setdefault((rel, site.line), []).append(site)
    candidates = sorted(by_line)
    rng = random.Random(args.seed)
    picked = rng.sample(candidates, min(args.n, len(candidates)))
    mutants = [rng.choice(by_line[key]) for key in picked]
    print("== %d mutants, seed %d, from %d lines in %d files" % (len(mutants), args.seed, len(candidates), len(sampled)),
          flush=True)
    if args.list:
        for k, site in enumerate(mutants, 1):
            print("[%d/%d] %s:%d: %s" % (k, len(mutants), site.path, site.line, describe(texts[site.path], site)))
        return 0

    watched = artifacts({l: reached[l] for l in labels}, {l: binaries[l] for l in labels})
    clean = {p: fingerprint(p) for p in watched}

    key = state_key(files, clean, "%s|%s" % (sorted(labels), args.exclude))
    baseline = {}
    if os.path.exists(BASELINE):
        with open(BASELINE) as f:
            baseline = json.load(f)
    if baseline.get("key") != key:
        print("== running the unmutated tests (once for these sources)", flush=True)
        test_log = os.path.join(LOGS, "unmutated-tests.log")
        open(test_log, "w").close()
        args.stop = False
        started = time.monotonic()
        passed, failed = ctest(labels, test_log, args, timeout=None)
        args.stop = True
        if not passed:
            raise Failure("the tests fail without any mutation: %s; see %s. Fix them, or leave them out with -E"
                          % (", ".join(failed) or "see the log", test_log))
        baseline = {"key": key, "seconds": round(time.monotonic() - started, 1)}
        with open(BASELINE, "w") as f:
            json.dump(baseline, f)
    timeout = args.timeout or 2 * baseline["seconds"] + 60
    print("== unmutated tests take %.0f s; time-out per mutant %.0f s" % (baseline["seconds"], timeout), flush=True)

    counts = {"caught": 0, "survived": 0, "did-not-build": 0, "no-effect": 0}
    restore = None
    begun = time.monotonic()
    try:
        for k, site in enumerate(mutants, 1):
            text = texts[site.path]
            copy = os.path.join(TREE, site.path)
            log = os.path.join(LOGS, "mutant-%03d.log" % k)
            with open(log, "w") as f:
                f.write("%s:%d: %s\n" % (site.path, site.line, describe(text, site)))
            started = time.monotonic()
            restore = (copy, text)
            with open(copy, "w", encoding="utf-8", newline="") as f:
                f.write(text[:site.start] + site.replacement + text[site.end:])
            status, build_seconds = run(["ninja", "-C", BUILD, "-j", str(args.jobs)], log, timeout=BUILD_TIMEOUT)
            detail = ""
            if status != 0 and crashed_on_listing(log):
                verdict, detail = "caught", " (a test binary failed to list its tests)"
            elif status != 0:
                verdict = "did-not-build"
            else:
                changed = [p for p in watched if fingerprint(p) != clean[p]]
                affected = {l for l in labels if binaries[l] in changed or any(p in reached[l] for p in changed)}
                if not affected:
                    verdict = "no-effect"
                else:
                    near = near_labels(site.path, reached, affected)
                    remaining = timeout
                    passed, failed = ctest(near, log, args, remaining)
                    if passed:
                        remaining = timeout - (time.monotonic() - started - build_seconds)
                        passed, failed = ctest(affected - near, log, args, max(1, remaining))
                    if passed is None:
                        verdict, detail = "caught", " (time-out)"
                    elif passed:
                        verdict = "survived"
                        detail = " (%d test binaries ran)" % len(affected)
                    else:
                        verdict = "caught"
                        detail = " by %s" % ", ".join(failed[:2]) if failed else ""
            with open(copy, "w", encoding="utf-8", newline="") as f:
                f.write(text)
            restore = None
            counts[verdict] += 1
            print("[%d/%d] %s:%d: %s: %s%s, %.0f s (build %.0f s)"
                  % (k, len(mutants), site.path, site.line, describe(text, site), verdict, detail,
                     time.monotonic() - started, build_seconds), flush=True)
    except KeyboardInterrupt:
        stop_current()
        print("== interrupted; the counts cover the mutants finished so far", flush=True)
        return_code = 130
    else:
        return_code = 0
    finally:
        if restore:
            with open(restore[0], "w", encoding="utf-8", newline="") as f:
                f.write(restore[1])
    built = counts["caught"] + counts["survived"]
    share = " (%.0f %%)" % (100.0 * counts["caught"] / built) if built else ""
    print("== caught %d of %d built%s; %d did not build, %d had no effect; %.0f s" %
          (counts["caught"], built, share, counts["did-not-build"], counts["no-effect"], time.monotonic() - begun))
    return return_code


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as problem:
        print("mutation-sample.sh: %s" % problem, file=sys.stderr)
        sys.exit(2)
    except KeyboardInterrupt:
        stop_current()
        print("mutation-sample.sh: interrupted", file=sys.stderr)
        sys.exit(130)
