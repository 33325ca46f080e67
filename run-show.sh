#!/usr/bin/env bash
# Installs what is missing, builds, and starts the show (the build without the start gate).
set -euo pipefail
cd "$(dirname "$0")"
./build.sh
exec ./build/tavoFrameworkTestFinal "$@"
