#!/usr/bin/env bash
# Configures and builds KORVA. Usage: scripts/build.sh [BUILD_DIR] [extra cmake args...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
shift || true
cmake -S "$here" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build"
