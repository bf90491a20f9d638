#!/usr/bin/env python3
"""Changes every cell of the engine's constant tables one at a time and tells
how many of those changes the engine tests catch.

The work happens on a copy of engine/, tests/engine/ and the calendar data
files inside the work folder, never on the source tree, so other people's
builds are not disturbed. Only the engine and the `engine_tests` target are
built (Ninja, gold); that binary runs with --gtest_fail_fast. A mutant is
caught when its build fails or a test fails.

Two ways to run the mutants, the same cells and the same changes:
- by default every cell of the copy becomes ZM(id, old, new), one build
  serves all mutants and ZELVARA_MUTANT=id picks the one that is live (the
  tables lose `constexpr` in the copy only). About half a second a mutant.
- --rebuild writes each changed file into the copy and rebuilds
  incrementally: the literal edit, a few seconds a mutant.

A table is a `constexpr`/`const` array initialised with braces in engine/*.cpp.
Numeric cells become the next value of the table's own range (the largest
wraps round to the smallest), so a branch stays a branch and a weight a weight.
Text cells (name tables) become the next different text of the same table.

    tools/mutate-tables/mutate_tables.py                 # every table
    tools/mutate-tables/mutate_tables.py --list          # the cells only
    tools/mutate-tables/mutate_tables.py --table kZiwei --table kBureau

Exit status 0 when every mutant was caught, 1 when some survived, 2 when the
unchanged copy does not build or its tests fail.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

SOURCE_FILES = [
    "engine/stars.cpp",
    "engine/palaces.cpp",
    "engine/chart_layout.cpp",
    "engine/names.cpp",
    "engine/conversion.cpp",
    "engine/chart_request.cpp",
    "engine/calendar_file.cpp",
    "engine/luck.cpp",
]

# Cells no behaviour can read: a change there is no fault.
UNREACHABLE = {
    ("kDays", 0): "month 0 is refused before the table is read",
    ("kTransformNames", 0): "transformations are numbered from 1; every reader starts there",
}

TABLE_START = re.compile(
    r"^[ \t]*(?:static[ \t]+)?(?:inline[ \t]+)?(?:constexpr|const)[ \t]+[\w:<>,+\s]*?\b(k\w+)\s*(?:\[[^\]]*\]\s*)*=\s*\{",
    re.M)
NUMBER = re.compile(r"(?<![\w.'])-?\d+(?![\w.'])")
STRING = re.compile(r'"(?:[^"\\]|\\.)*"')
COMMENT_OR_CHAR = re.compile(r"//[^\n]*|/\*.*?\*/|'(?:[^'\\]|\\.)'", re.S)

MINIMAL_PROJECT = """cmake_minimum_required(VERSION 3.25)
project(ZelvaraTableMutants LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# Discovering the tests after every link would run the binary twice per mutant.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
add_compile_options(-Wall -Wextra -include ${CMAKE_SOURCE_DIR}/mutant_switch.h)
enable_testing()
find_package(GTest REQUIRED)
# The headers every test shares: the message sink, the worked charts.
include_directories(${CMAKE_SOURCE_DIR}/tests)
add_subdirectory(engine)
add_subdirectory(tests/engine)
"""

MUTANT_SWITCH = """#pragma once
#include <cstdlib>
// The live mutant of a switched build, -1 (none) unless ZELVARA_MUTANT is set.
inline int zelvara_mutant() {
    static const int id = [] {
        const char* s = std::getenv("ZELVARA_MUTANT");
        return s ? std::atoi(s) : -1;
    }();
    return id;
}
#define ZM(id, old, new) (zelvara_mutant() == (id) ? (new) : (old))
"""


@dataclass
class Cell:
    file: str      # relative path
    table: str
    index: int     # cell number within the table, 0-based
    decl: int      # offset of the table's declaration
    start: int     # offsets of the literal in the file text
    end: int
    old: str
    new: str
    line: int

    def label(self):
        return f"{self.file}:{self.line} {self.table}[{self.index}] {self.old} -> {self.new}"


def matching_brace(text, open_at):
    depth = 0
    i = open_at
    while i < len(text):
        c = text[i]
        if text.startswith("//", i):
            i = text.index("\n", i)
            continue
        if c == '"':
            i = STRING.match(text, i).end()
            continue
        if c == "{":
            depth += 1
        elif c == "}":
            depth -= 1
            if depth == 0:
                return i
        i += 1
    raise ValueError("unbalanced braces")


def blank_out(text):
    """Comments and character literals replaced by spaces, offsets kept."""
    return COMMENT_OR_CHAR.sub(lambda m: " " * len(m.group(0)), text)


def cells_of(rel, text):
    cells = []
    plain = blank_out(text)
    for m in TABLE_START.finditer(plain):
        table = m.group(1)
        open_at = m.end() - 1
        close_at = matching_brace(plain, open_at)
        body = plain[open_at:close_at + 1]
        first = len(cells)
        strings = list(STRING.finditer(body))
        if strings:
            values = [s.group(0) for s in strings]
            distinct = list(dict.fromkeys(values))
            numbers_body = STRING.sub(lambda s: " " * len(s.group(0)), body)
            for i, s in enumerate(strings):
                if len(distinct) < 2:
                    break
                nxt = distinct[(distinct.index(s.group(0)) + 1) % len(distinct)]
                cells.append(make_cell(rel, text, table, m.start(), i, open_at + s.start(), open_at + s.end(), nxt))
        else:
            numbers_body = body
        numbers = list(NUMBER.finditer(numbers_body))
        if not numbers:
            continue
        values = [int(n.group(0)) for n in numbers]
        lo, hi = min(values), max(values)
        for i, n in enumerate(numbers):
            v = int(n.group(0))
            new = v + 1 if v < hi else lo
            if lo == hi:
                new = v + 1
            cells.append(make_cell(rel, text, table, m.start(), len(cells) - first, open_at + n.start(), open_at + n.end(), str(new)))
    return cells


def make_cell(rel, text, table, decl, index, start, end, new):
    return Cell(rel, table, index, decl, start, end, text[start:end], new, text.count("\n", 0, start) + 1)


def switched(text, numbered):
    """The file with every cell as ZM(id, old, new) and its tables made const."""
    edits = [(c.start, c.end, f"ZM({i}, {c.old}, {c.new})") for i, c in numbered]
    for decl in sorted({c.decl for _, c in numbered}):
        at = text.index("constexpr", decl) if "constexpr" in text[decl:text.index("=", decl)] else -1
        if at >= 0:
            edits.append((at, at + len("constexpr"), "const"))
    for start, end, new in sorted(edits, reverse=True):
        text = text[:start] + new + text[end:]
    return text


def run(cmd, cwd, timeout=None):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=timeout)


def prepare(source, work):
    src = work / "src"
    if src.exists():
        shutil.rmtree(src)
    (src / "tests").mkdir(parents=True)
    shutil.copytree(source / "engine", src / "engine")
    shutil.copytree(source / "tests" / "engine", src / "tests" / "engine")
    for shared in (source / "tests").glob("*.h"):
        shutil.copy2(shared, src / "tests" / shared.name)
    (src / "data").mkdir()
    for eto in (source / "data").glob("*.eto"):
        shutil.copy2(eto, src / "data" / eto.name)
    (src / "CMakeLists.txt").write_text(MINIMAL_PROJECT)
    (src / "mutant_switch.h").write_text(MUTANT_SWITCH)
    build = work / "build"
    if not (build / "build.ninja").exists():
        r = run(["cmake", "-S", str(src), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                 "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold"], cwd=work)
        if r.returncode != 0:
            sys.exit("configure failed:\n" + r.stdout)
    return src, build


def build(build_dir):
    r = run(["ninja", "-C", str(build_dir), "engine_tests"], cwd=build_dir)
    return r.returncode == 0, r.stdout


def test(build_dir, timeout, mutant=None):
    """'test' or 'timeout' (caught) or '' (survived), with the output."""
    env = dict(os.environ)
    env.pop("ZELVARA_MUTANT", None)
    if mutant is not None:
        env["ZELVARA_MUTANT"] = str(mutant)
    try:
        r = subprocess.run([str(build_dir / "bin" / "engine_tests"), "--gtest_fail_fast", "--gtest_brief=1"],
                           cwd=build_dir, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                           timeout=timeout)
    except subprocess.TimeoutExpired:
        return "timeout", ""
    return ("test" if r.returncode != 0 else ""), r.stdout


def build_and_test(build_dir, timeout):
    ok, output = build(build_dir)
    return test(build_dir, timeout) if ok else ("compile", output)


def first_failure(output):
    for line in output.splitlines():
        if line.startswith("[  FAILED  ]"):
            return line[len("[  FAILED  ]"):].strip()
    return ""


def main():
    here = Path(__file__).resolve()
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--source", type=Path, default=here.parents[2], help="source tree (default: this checkout)")
    parser.add_argument("--work", type=Path, default=Path("/work/build-tables/mutate-tables"),
                        help="work folder for the copy and its build")
    parser.add_argument("--table", action="append", help="only this table (repeatable)")
    parser.add_argument("--file", action="append", help="only this source file, e.g. engine/stars.cpp")
    parser.add_argument("--list", action="store_true", help="list the cells and stop")
    parser.add_argument("--timeout", type=float, default=60, help="seconds for one test run")
    parser.add_argument("--rebuild", action="store_true", help="rebuild for every mutant instead of switching")
    args = parser.parse_args()

    files = args.file or SOURCE_FILES
    cells = []
    for rel in files:
        path = args.source / rel
        if path.exists():
            cells += cells_of(rel, path.read_text(encoding="utf-8"))
    if args.table:
        cells = [c for c in cells if c.table in args.table]
    skipped = [c for c in cells if (c.table, c.index) in UNREACHABLE]
    cells = [c for c in cells if (c.table, c.index) not in UNREACHABLE]
    if args.list:
        for c in cells:
            print(c.label())
        print(f"{len(cells)} cells")
        return 0

    args.work.mkdir(parents=True, exist_ok=True)
    src, build = prepare(args.source, args.work)
    verdict, output = build_and_test(build, args.timeout)
    if verdict:
        print(f"the unchanged copy fails ({verdict}):\n{output}")
        return 2

    originals = {rel: (src / rel).read_text(encoding="utf-8") for rel in {c.file for c in cells}}
    survived, by_verdict = [], {"compile": 0, "test": 0, "timeout": 0}
    started = time.monotonic()
    try:
        if not args.rebuild:
            for rel, text in originals.items():
                numbered = [(i, c) for i, c in enumerate(cells) if c.file == rel]
                (src / rel).write_text(switched(text, numbered), encoding="utf-8")
            verdict, output = build_and_test(build, args.timeout)
            if verdict:
                print(f"the switched copy fails with no mutant live ({verdict}):\n{output}")
                return 2
        for n, c in enumerate(cells, 1):
            if args.rebuild:
                text = originals[c.file]
                (src / c.file).write_text(text[:c.start] + c.new + text[c.end:], encoding="utf-8")
                verdict, output = build_and_test(build, args.timeout)
                (src / c.file).write_text(text, encoding="utf-8")
            else:
                verdict, output = test(build, args.timeout, n - 1)
            if verdict:
                by_verdict[verdict] += 1
                note = first_failure(output) if verdict == "test" else verdict
            else:
                survived.append(c)
                note = "SURVIVED"
            print(f"[{n}/{len(cells)}] {c.label()}: {note}", flush=True)
    finally:
        for rel, text in originals.items():
            (src / rel).write_text(text, encoding="utf-8")

    caught = len(cells) - len(survived)
    lines = [f"tables: {', '.join(sorted({c.table for c in cells}))}",
             f"changes tried: {len(cells)}",
             f"caught: {caught} ({by_verdict['test']} by a test, {by_verdict['compile']} did not compile, "
             f"{by_verdict['timeout']} timed out)",
             f"survived: {len(survived)}",
             f"share caught: {100.0 * caught / max(len(cells), 1):.1f}%",
             f"time: {time.monotonic() - started:.0f} s"]
    lines += [f"  survived: {c.label()}" for c in survived]
    lines += [f"  not tried: {c.label()} ({UNREACHABLE[(c.table, c.index)]})" for c in skipped]
    report = "\n".join(lines)
    print(report)
    (args.work / "report.txt").write_text(report + "\n", encoding="utf-8")
    return 0 if not survived else 1


if __name__ == "__main__":
    sys.exit(main())
