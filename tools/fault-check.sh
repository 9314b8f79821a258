#!/usr/bin/env bash
# Puts realistic one-line slips into the source one at a time, builds, runs
# the tests that ought to notice, puts the line back and prints the slips
# no test noticed. Slow (one incremental build per slip); not part of CI.
#
#   bash tools/fault-check.sh [faults file] [build dir]
#   bash tools/fault-check.sh --check [faults file]   only check that every row applies
#
# The faults file (default tools/faults.txt) has one row per slip:
#   file ||| text as it stands ||| the slip ||| ctest names or "all" ||| what a user would see
# The text must occur exactly once in the file. The source is restored
# after each slip and whenever the script is interrupted.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
check_only=0
if [ "${1:-}" = "--check" ]; then
  check_only=1
  shift
fi
faults=${1:-tools/faults.txt}
build=${2:-build-faults}
case $build in /*) ;; *) build=$root/$build ;; esac
jobs=$(nproc)

# Replaces the text once in the file (with a fourth argument "check" only
# looks); exit 1 when it is not there exactly once.
apply() {
  python3 - "$@" <<'PY'
import sys
path, old, new = sys.argv[1:4]
data = open(path, encoding="utf-8", newline="").read()
if data.count(old) != 1:
    sys.exit(1)
if len(sys.argv) == 4:
    open(path, "w", encoding="utf-8", newline="").write(data.replace(old, new, 1))
PY
}

field() { # field <row> <n>: the n-th "|||" field, trimmed
  awk -v n="$2" 'BEGIN { FS = " *[|][|][|] *" } { gsub(/^ +| +$/, "", $n); print $n }' <<<"$1"
}

rows=()
while IFS= read -r line; do
  [[ -z "$line" || "$line" == \#* ]] && continue
  rows+=("$line")
done <"$faults"

backup=$(mktemp -d)
current=""
restore() {
  if [ -n "$current" ]; then
    # Written anew (not copied with its old time), so the next build
    # recompiles it and no slip lingers in the objects.
    cat "$backup/file" >"$root/$current"
    current=""
  fi
}
trap 'restore; rm -rf "$backup"' EXIT
trap 'restore; exit 130' INT TERM HUP

bad=0
[ "$check_only" -eq 1 ] && for row in "${rows[@]}"; do
  file=$(field "$row" 1)
  old=$(field "$row" 2)
  new=$(field "$row" 3)
  if ! apply "$file" "$old" "$new" check; then
    echo "DOES NOT APPLY: $file: $old"
    bad=1
  fi
done
if [ "$check_only" -eq 1 ]; then
  [ "$bad" -eq 0 ] || exit 2
  echo "${#rows[@]} slips apply"
  exit 0
fi

cache=()
if command -v ccache >/dev/null; then
  cache=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
fi
# An existing build dir (the normal "build" will do) is used as configured.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROCTORIUM_TESTS=ON -DPROCTORIUM_BENCH=OFF \
    -DPROCTORIUM_SANITIZE=OFF -DPROCTORIUM_WERROR=ON "${cache[@]}" >/dev/null
fi
cmake --build "$build" -j "$jobs" >/dev/null
# Every test a row names must pass before any slip goes in.
named=$(for row in "${rows[@]}"; do field "$row" 4; done | tr ' ' '\n' | grep -v '^all$' | sort -u | paste -sd '|')
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j "$jobs" -R "^($named)\$" >"$build/fault-test.log" 2>&1) || {
  echo "tests fail without any slip (see $build/fault-test.log): fix that first"
  exit 2
}

survived=()
n=0
for row in "${rows[@]}"; do
  n=$((n + 1))
  file=$(field "$row" 1)
  old=$(field "$row" 2)
  new=$(field "$row" 3)
  tests=$(field "$row" 4)
  what=$(field "$row" 5)
  cp "$file" "$backup/file"
  current=$file
  if ! apply "$file" "$old" "$new"; then
    restore
    echo "$n/${#rows[@]} $file: DOES NOT APPLY (the text has changed: update $faults)"
    continue
  fi
  start=$SECONDS
  if [ "$tests" = "all" ]; then
    targets=(all)
    filter=()
  else
    read -r -a targets <<<"$tests"
    filter=(-R "^($(tr ' ' '|' <<<"$tests"))\$")
  fi
  if ! cmake --build "$build" -j "$jobs" --target "${targets[@]}" >"$build/fault-build.log" 2>&1; then
    verdict="caught (does not build)"
  elif (cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j "$jobs" "${filter[@]}" >"$build/fault-test.log" 2>&1); then
    verdict="SURVIVED"
    survived+=("$file: $what")
  else
    verdict="caught by $(grep -o '[0-9]* - [a-z_0-9]* ([A-Za-z]*)' "$build/fault-test.log" | awk '{print $3}' | sort -u | tr '\n' ' ')"
  fi
  restore
  printf '%2d/%d %-28s %-60s %s (%ds)\n' "$n" "${#rows[@]}" "$file" "$what" "$verdict" $((SECONDS - start))
done
# The build dir is left with the last slip's objects: bring it back in step.
cmake --build "$build" -j "$jobs" >/dev/null 2>&1 || true

echo
if [ ${#survived[@]} -eq 0 ]; then
  echo "Every slip was caught."
else
  echo "${#survived[@]} of ${#rows[@]} slips survived:"
  printf '  %s\n' "${survived[@]}"
fi
