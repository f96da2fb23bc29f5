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
)
if [ "${1:-}" = "--test" ]; then
  packages+=(
    # real windows, keys and screenshots in the end-to-end tests
    xvfb xdotool imagemagick
    # 3DS test oracles, benchmark peers and real model files
    lib3ds-dev libassimp-dev assimp-utils assimp-testmodels glmark2-data
    # fuzzing
    clang-14 libclang-rt-14-dev
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
