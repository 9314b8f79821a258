#!/usr/bin/env bash
# Sets up, checks formatting and runs the whole test suite: a normal build
# with warnings as errors, clang-tidy over the core and the package checks;
# one with AddressSanitizer and UBSan; and the core cross-built for Windows
# with its tests run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
jobs=$(nproc)
# A compiler cache, where there is one, makes the three builds cheap to repeat.
cache=()
if command -v ccache >/dev/null; then
  cache=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi

bash tools/check-format.sh
bash tools/check-floors.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROCTORIUM_TESTS=ON -DPROCTORIUM_BENCH=ON -DPROCTORIUM_SANITIZE=OFF -DPROCTORIUM_WERROR=ON "${cache[@]}"
cmake --build build -j "$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
bash tools/check-tidy.sh build
bash tools/check-package.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPROCTORIUM_SANITIZE=ON -DPROCTORIUM_TESTS=ON -DPROCTORIUM_BENCH=OFF -DPROCTORIUM_WERROR=ON "${cache[@]}"
cmake --build build-asan -j "$jobs"
(cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs")

cmake -S . -B build-mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROCTORIUM_TESTS=ON "${cache[@]}"
cmake --build build-mingw -j "$jobs"
(cd build-mingw && ctest --output-on-failure -j "$jobs")
