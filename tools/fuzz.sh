#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 600), starting from the committed corpus. New inputs
# go to build-fuzz/corpus-*; copy the interesting ones into fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
bash tools/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPROCTORIUM_FUZZ=ON -DPROCTORIUM_TESTS=OFF -DPROCTORIUM_BENCH=OFF \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"
cmake --build build-fuzz --target fuzz_questionset fuzz_options
for target in questionset options; do
  work=build-fuzz/corpus-$target
  mkdir -p "$work"
  cp -n fuzz/corpus/$target/* "$work"/ 2>/dev/null || true
  build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -artifact_prefix=build-fuzz/crash-$target- "$work"
done
