#!/usr/bin/env bash
# Installs the Debian packages the show needs (only those missing), then configures and builds
# it into ./build. Used by run-show.sh and run-tests.sh; safe to run again at any time.
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libx11-dev libepoxy-dev libgl-dev libglu1-mesa-dev libdevil-dev
  libmpg123-dev libkissfft-dev libimgui-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev libmp3lame-dev lame libpng-dev
  xvfb xauth xdotool x11-utils imagemagick
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  if [[ $(id -u) -eq 0 ]]; then sudo_cmd=(); else sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
