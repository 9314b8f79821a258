#!/usr/bin/env bash
# Sets up, builds and starts Proctorium from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROCTORIUM_TESTS=OFF -DPROCTORIUM_SANITIZE=OFF -DPROCTORIUM_WERROR=OFF
cmake --build build -j "$(nproc)" --target proctorium
exec build/Proctorium/proctorium
