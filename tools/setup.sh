#!/usr/bin/env bash
# Installs what building, testing and running Proctorium needs on Debian 12.
set -euo pipefail
packages=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev
          clang libclang-rt-14-dev fonts-dejavu-core libgtest-dev poppler-utils
          clang-format clang-tidy gcovr
          # Unicode normalisation and character names in the core
          libicu-dev
          clang-format clang-tidy
          # the window-fit test in the common desktop families (a wide one too)
          fonts-noto-core fonts-liberation2 fonts-urw-base35
          # the accessibility bus for the end-to-end check
          at-spi2-core python3-pyatspi dbus-daemon xvfb
          # packaging checks
          dpkg-dev lintian desktop-file-utils appstream ccache man-db
          dpkg-dev lintian desktop-file-utils appstream ccache
          # paper tests: the answer sheets' QR codes, the print job files
          libzxing-dev nlohmann-json3-dev
          # the core cross-built for Windows, its tests run under Wine
          g++-mingw-w64-x86-64-posix googletest wine wine64
          # reading scanned answer sheets: pictures, QR codes, scanner PDFs
          libopencv-dev libpoppler-qt6-dev
          # a password-protected PDF for the scan reader's tests
          qpdf)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
