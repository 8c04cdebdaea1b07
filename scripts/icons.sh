#!/usr/bin/env bash
# Makes the program's icons in the freedesktop (hicolor) sizes from packaging/icons/korva.svg.
# The PNGs are kept in the repository, so that building the package needs no SVG
# renderer; run this again after changing the SVG, and commit what it writes.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
icons="$here/packaging/icons"
command -v rsvg-convert > /dev/null || { echo "icons: rsvg-convert não está instalado (pacote librsvg2-bin)" >&2; exit 1; }
for size in 16 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" -o "$icons/${size}x${size}/korva.png" "$icons/korva.svg"
done
