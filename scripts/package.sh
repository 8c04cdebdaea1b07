#!/usr/bin/env bash
# Builds KORVA's Debian package with CPack: a Release build of the two programs and of
# what the package holds beside them, then cpack. The version is the project's with the
# date and hash of the commit (packaging/CMakeLists.txt).
# Usage: scripts/package.sh [BUILD_DIR]   (build-package by default)
# The last line printed is the package's path.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-package}
"$here/scripts/install-deps.sh" >&2
# Files in the package get the commit's time, not the build's.
if epoch=$(git -C "$here" log -1 --format=%ct 2>/dev/null); then
  export SOURCE_DATE_EPOCH=$epoch
fi
# Relocations read-only and bound at start, as Debian builds its own programs.
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro -Wl,-z,now" >&2
cmake --build "$build" --target korva korva-db korva_packaging >&2
rm -f "$build"/package/*.deb
(cd "$build" && cpack -G DEB) >&2
deb=$(ls "$build"/package/*.deb)
echo "$deb"
