#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the toolkit-free core, its
# tests and its test kit; any warning fails. Needs a configured build folder for
# compile_commands.json: tools/check-tidy.sh [build-folder], default build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
if [ ! -f "$build/compile_commands.json" ]; then
  echo "no $build/compile_commands.json: configure the build first" >&2
  exit 2
fi
# Windows-only files (the registry test) cannot be parsed without the
# Windows headers; the cross build compiles them.
mapfile -t files < <(git ls-files '*/core/*.cpp' | xargs grep -L '^#include <windows.h>')
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 "$tidy" -p "$build" --quiet
echo "tidy: clean (${#files[@]} files)"
