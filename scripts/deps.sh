#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the game and the tests need (only the missing ones).
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  # toolkit, GL, sound, pictures
  libfltk1.3-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  libsdl2-mixer-dev libpng-dev zlib1g-dev
  # the faces the game's windows map their fonts to
  fonts-urw-base35 fonts-dejavu-core
)
if [ "${1:-}" = "--test" ]; then
  packages+=(
    # real windows, keys and screenshots in the end-to-end tests
    xvfb xdotool imagemagick
    # 3DS test oracles, benchmark peers and real model files
    lib3ds-dev libassimp-dev assimp-utils assimp-testmodels glmark2-data
    # fuzzing
    clang-14 libclang-rt-14-dev
    # a comma-decimal locale for the number-text tests (generated below)
    locales
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = "--test" ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo "de_DE.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
