#!/usr/bin/env python3
"""Single-point mutation run: how much of the code the native test suite guards.

    python3 scripts/mutate.py                  # every mutant of the default files
    python3 scripts/mutate.py --list           # only list them
    python3 scripts/mutate.py --only core/text_search.cpp --sample 20 --seed 3
    python3 scripts/mutate.py --out after.txt --compare before.txt

Each mutant changes one operator or constant on one line (a comparison, an
equality, a logical operator, + and -, a boolean, an integer literal off by
one) or drops a call without arguments (`ReleaseText();`), is rebuilt in build-mutate/ and run against the core's unit tests and
then, if they pass, the whole ctest suite there; a mutant that no test fails
survives. The source file is restored after every mutant, also when the run
is interrupted (assertions are not mutated: the build has none). A mutant is named by its file, the code of its line, the
change and, where that is not unique, which one: `file: `code`: < -> <=`,
with " #2" for the second such change on the line and " @2" for the second
line of the same code, so that names survive edits elsewhere in the file.
Survivors named in scripts/mutants-equivalent.txt (one name per line, a reason
after " # ") are known to change nothing observable and are reported apart;
a reason that begins with "out of reach:" names one that does change what a
program could see, but only where no test here can go (a device whose close
fails), and says where.
The ledger must stay true: a line that names no mutant of today's code, or
whose mutant the suite now kills, is reported as stale (and fails the run).
--out writes every mutant's status; --compare reads such a file of an earlier
run and lists the mutants that survive now but were killed then or did not
exist.
"""
import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build-mutate")
EQUIVALENT = os.path.join(ROOT, "scripts", "mutants-equivalent.txt")
DEFAULT_FILES = [
    "core/add_bbcode.cpp", "core/remove_bbcode.cpp", "core/script_close_up.cpp",
    "core/text_buffer.cpp", "core/text_search.cpp", "core/byte_compare.h", "core/byte_scan.h",
    "core/commands.cpp", "core/report.cpp",
    "cli/options.cpp", "cli/destination.cpp", "cli/input_file.cpp",
]
# (pattern, replacement) on code with string literals and comments blanked.
OPERATORS = [
    (r" < ", " <= "), (r" <= ", " < "), (r" > ", " >= "), (r" >= ", " > "),
    (r" == ", " != "), (r" != ", " == "), (r" && ", " || "), (r" \|\| ", " && "),
    (r" \+ ", " - "), (r" - ", " + "), (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
    (r"(?<![\w.])(\d+)(?![\w.'])", None),  # integer literal + 1
    (r"^\s*[A-Za-z_][\w.:>-]*\(\);", ""),  # a call without arguments, dropped
]


def code_only(line):
    """The line with string and character literals and // comments blanked, so
    that operators inside them are never mutated; columns are kept."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            out.append(" ")
            if c == "\\":
                out.append(" ")
                i += 1
            elif c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(" ")
        elif line.startswith("//", i):
            out.append(" " * (len(line) - i))
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def mutants(path):
    lines = open(os.path.join(ROOT, path), encoding="utf-8").read().split("\n")
    seen_lines = {}
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if not stripped or stripped.startswith(("#", "//", "*", "/*", "static_assert", "assert(")):
            continue
        seen_lines[stripped] = seen_lines.get(stripped, 0) + 1
        code = code_only(line)
        changes = {}
        for pattern, replacement in OPERATORS:
            for m in re.finditer(pattern, code):
                new = replacement if replacement is not None else str(int(m.group(1)) + 1)
                mutated = line[:m.start()] + new + line[m.end():]
                change = f"{m.group(0).strip()} -> {new.strip() or '(none)'}"
                changes[change] = changes.get(change, 0) + 1
                key = f"{path}: `{stripped}`: {change}"
                if changes[change] > 1:
                    key += f" #{changes[change]}"
                if seen_lines[stripped] > 1:
                    key += f" @{seen_lines[stripped]}"
                yield key, number - 1, mutated, lines


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--only", nargs="*", help="files to mutate (default: core/ and the CLI)")
    parser.add_argument("--sample", type=int, help="run only this many mutants, chosen at random")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--names", help="run only the mutants named in this file (one a line)")
    parser.add_argument("--out", help="write each mutant's status and name to this file")
    parser.add_argument("--compare", help="a file --out wrote in an earlier run")
    args = parser.parse_args()

    files = args.only or DEFAULT_FILES
    all_mutants = [m for f in files for m in mutants(f)]
    equivalent = {}
    if os.path.exists(EQUIVALENT):
        for entry in open(EQUIVALENT, encoding="utf-8"):
            key, _, reason = entry.rstrip("\n").partition(" # ")
            if key.strip():
                equivalent[key.strip()] = reason
    # Ledger lines of the files looked at (of any file, in a default run)
    # that name no mutant of the code as it is.
    names = {key for key, *_ in all_mutants}
    unmatched = [k for k in equivalent if k not in names
                 and (not args.only or k.split(":")[0] in files)]
    for key in unmatched:
        print(f"stale: no such mutant: {key}")
    if args.names:
        wanted = {l.split("\t")[-1].strip() for l in open(args.names, encoding="utf-8")}
        all_mutants = [m for m in all_mutants if m[0] in wanted]
    if args.sample:
        all_mutants = sorted(random.Random(args.seed).sample(all_mutants,
                                                             min(args.sample, len(all_mutants))))
    if args.list:
        print("\n".join(key for key, *_ in all_mutants))
        return 1 if unmatched else 0

    # A kill restores the source too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    signal.signal(signal.SIGINT, lambda *_: sys.exit("stopped"))
    jobs = str(os.cpu_count() or 2)
    # As the release is built, without debug information (quicker to link).
    subprocess.run(["cmake", "-S", ".", "-B", BUILD, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG", "-DORLIMO_BUILD_BENCH=OFF"],
                   cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    build = ["cmake", "--build", BUILD, "-j", jobs]
    if run(build, 900) != 0 or run(["ctest", "--test-dir", BUILD, "-j", jobs], 900) != 0:
        sys.exit("the unmutated build or its tests fail")

    unit_tests = [os.path.join(BUILD, "bin", "core_tests"), "--gtest_brief=1"]
    survivors, killed, started = [], 0, time.time()
    killed_but_listed = []
    out = open(args.out, "w", encoding="utf-8") if args.out else None
    for index, (key, line_index, mutated, lines) in enumerate(all_mutants, 1):
        path = os.path.join(ROOT, key.split(":")[0])
        original = "\n".join(lines)
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n".join(lines[:line_index] + [mutated] + lines[line_index + 1:]))
            if run(build, 900) != 0:
                status = "does not build"
            elif run(unit_tests, 300) == 0 and run(
                    ["ctest", "--test-dir", BUILD, "-j", jobs, "--stop-on-failure",
                     "--timeout", "60"], 1200) == 0:
                status = "SURVIVED"
                survivors.append(key)
            else:
                status = "killed"
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        killed += status == "killed"
        if status != "SURVIVED" and key in equivalent:
            killed_but_listed.append((status, key))
        if out:
            out.write(f"{status}\t{key}\n")
            out.flush()
        print(f"[{index}/{len(all_mutants)}] {status:14} {path[len(ROOT) + 1:]}:{line_index + 1} "
              f"{key}", flush=True)
    run(build, 900)

    new = [k for k in survivors if k not in equivalent]
    print(f"\n{len(all_mutants)} mutants, {killed} killed, {len(survivors)} survived "
          f"({len(survivors) - len(new)} known equivalent) in {time.time() - started:.0f} s")
    for key in survivors:
        kind = "SURVIVOR    " if key not in equivalent else (
            "out of reach" if equivalent[key].startswith("out of reach:") else "equivalent  ")
        print(f"  {kind} {key}" + (f"  # {equivalent[key]}" if key in equivalent else ""))
    stale = [(f"no such mutant", k) for k in unmatched] + killed_but_listed
    if stale:
        print(f"\n{len(stale)} stale lines in {os.path.relpath(EQUIVALENT, ROOT)}:")
        for status, key in stale:
            print(f"  {status:14} {key}")
    if args.compare:
        before = {}
        for entry in open(args.compare, encoding="utf-8"):
            status, _, key = entry.rstrip("\n").partition("\t")
            before[key] = status
        fresh = [k for k in new if before.get(k) != "SURVIVED"]
        print(f"\n{len(fresh)} survivors not known equivalent that did not survive before:")
        for key in fresh:
            print(f"  {before.get(key, 'new mutant'):14} {key}")
    return 1 if new or stale else 0


if __name__ == "__main__":
    sys.exit(main())
