#!/usr/bin/env bash
# Sets up, checks formatting, builds with warnings as errors and runs the
# whole test suite twice: a normal build (followed by clang-tidy over the
# core), then one with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
jobs=$(nproc)

bash tools/check-format.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROCTORIUM_TESTS=ON -DPROCTORIUM_BENCH=ON -DPROCTORIUM_SANITIZE=OFF -DPROCTORIUM_WERROR=ON
cmake --build build -j "$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
bash tools/check-tidy.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPROCTORIUM_SANITIZE=ON -DPROCTORIUM_TESTS=ON -DPROCTORIUM_BENCH=OFF -DPROCTORIUM_WERROR=ON
cmake --build build-asan -j "$jobs"
(cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs")
