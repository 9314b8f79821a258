#!/usr/bin/env bash
# Builds the suite with gcc's coverage counters into build-coverage, runs it,
# and reports line and function coverage of every production file. Fails
# when a file named in tools/coverage-floors.txt is below its floor.
#
#   bash tools/check-coverage.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-coverage}
jobs=$(nproc)
cache=()
if command -v ccache >/dev/null; then
  cache=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPROCTORIUM_COVERAGE=ON -DPROCTORIUM_TESTS=ON \
  -DPROCTORIUM_BENCH=OFF -DPROCTORIUM_SANITIZE=OFF -DPROCTORIUM_WERROR=ON "${cache[@]}"
cmake --build "$build" -j "$jobs"
# Counts of an earlier run would add to this one's.
find "$build" -name '*.gcda' -delete
# A failing test still leaves counts worth reporting; it fails the check at the end.
tests=0
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs") || tests=$?

# Production code only: the tests, the test kit, benchmarks and fuzzers are
# not measured, nor main.cpp, which only the program itself runs.
gcovr --root . --object-directory "$build" \
  --filter "$PWD/(base|questions|web|session|editor|app)/" --exclude '.*_test\.cpp$' \
  --json-summary "$build/coverage.json" --json-summary-pretty --print-summary >/dev/null

python3 - "$build/coverage.json" tools/coverage-floors.txt <<'PY'
import json, sys
summary, floors_file = sys.argv[1:]
files = {f["filename"]: f for f in json.load(open(summary))["files"]}
floors = {}
for line in open(floors_file):
    line = line.split("#", 1)[0].strip()
    if line:
        name, floor = line.split()
        floors[name] = float(floor)
print(f"{'file':48} {'lines':>14} {'functions':>14}  floor")
for name in sorted(files):
    f = files[name]
    mark = f"{floors[name]:5.0f}" if name in floors else ""
    print(f"{name:48} {f['line_covered']:5}/{f['line_total']:<5} {f['line_percent']:4.0f}% "
          f"{f['function_covered']:4}/{f['function_total']:<4} {f['function_percent']:4.0f}%  {mark}")
total_lines = sum(f["line_total"] for f in files.values())
total_covered = sum(f["line_covered"] for f in files.values())
print(f"{'all production files':48} {total_covered:5}/{total_lines:<5} {100 * total_covered / max(1, total_lines):4.0f}%")
failed = []
for name, floor in sorted(floors.items()):
    if name not in files:
        failed.append(f"{name}: not measured (renamed? update tools/coverage-floors.txt)")
    elif files[name]["line_percent"] < floor:
        failed.append(f"{name}: {files[name]['line_percent']:.1f}% of lines, floor {floor:.0f}%")
if failed:
    print("\nBelow the floor:\n  " + "\n  ".join(failed))
    sys.exit(1)
print(f"\nEvery one of the {len(floors)} files with a floor is at or above it.")
PY
if [ "$tests" -ne 0 ]; then
  echo "Some tests failed: the figures above miss what they did not run."
  exit 1
fi
