#!/usr/bin/env bash
# Installs every Debian package the project needs, and only those that are missing.
set -euo pipefail

PACKAGES=(
  # tool chain
  g++ cmake ninja-build pkg-config
  # libraries the code links
  libpng-dev libfreetype-dev libfontconfig-dev libcli11-dev libsqlite3-dev
  # the PNG writer's checksums
  libdeflate-dev
  # vector output (SVG, EPS, PDF): cairo's surfaces, text through its FreeType faces
  libcairo2-dev
  # package information read from the ELF sections of a package library
  libelf-dev
  # the sqlite3 shell, for building sample databases from text
  sqlite3
  # fonts: fontconfig maps "Courier New" to Liberation Mono
  fonts-liberation
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libzxing-dev python3
  # the vector outputs rasterised to compare with the PNGs: rsvg-convert, pdftoppm
  librsvg2-bin poppler-utils
  # zbarimg, the second decoder: it reads the add-ons, alone and joined, that zxing-cpp does not
  zbar-tools
  # bench/zint.sh: zint, the peer measured against; GNU time for peak memory
  zint time
  # fuzzing (clang with its libFuzzer runtime) and leak checks of the command line
  clang libclang-rt-14-dev valgrind
  # the Qt widgetset: Qt 6 Widgets and QTest, the offscreen and X11 platform plugins
  qt6-base-dev qt6-qpa-plugins
  # its run on a real X server: Xvfb, the pointer and keyboard driver, the screenshot (xwd) and
  # its conversion to PNG
  xvfb xauth xdotool x11-apps netpbm
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
