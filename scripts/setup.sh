#!/usr/bin/env bash
# Installs the Debian packages Kvimarot needs (only those missing), then configures
# and builds it into build/. The working directory the programs run in is build/work.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev liberfa-dev libsqlite3-dev
  clang libclang-rt-dev
  swe-basic-data
  fonts-dejavu-core fonts-dejavu-extra fontforge python3-fontforge python3-fonttools
  xvfb xauth x11-apps x11-utils xdotool imagemagick openbox
  locales ccache qt6-translations-l10n
  tzdata libgeonames-common
)
# The towns data fetch GeoNames' table with npm (the NodeSource build of nodejs brings
# npm along; Debian's nodejs needs the npm package).
command -v npm >/dev/null 2>&1 || PACKAGES+=(npm)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The users run ru_RU.UTF-8 (decimal comma); the tests run under it too.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

# GeoNames' cities500 table for the towns database (the build fetches it too when
# it is missing): kept in the build tree, out of the sources.
bash towns/data/fetch_places.sh build/sources

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
cmake --build build -j2
