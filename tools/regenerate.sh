#!/usr/bin/env bash
# Makes every file under resources/ again from the sources in tools/: builds the content tools
# into the build folder (argument 1, ./build by default) and runs them. The output is the same
# byte for byte on every run: fixed seeds, fixed encoder and compression settings.
#   tools/regenerate.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target make_music make_karaoke make_pictures make_choreography

tools=$build/tools
"$tools/make_music" tools/score/song.txt "resources/data/Veltrin - Say My Tirrel.mp3"
"$tools/make_karaoke" tools/score/song.txt resources
"$tools/make_pictures" resources
"$tools/make_choreography" tools/score/song.txt tools/score/choreography.txt resources
