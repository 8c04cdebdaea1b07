#!/usr/bin/env bash
# Prints every KORVA library target with the KORVA targets it links directly, from
# CMake's own dependency graph (cmake --graphviz). The configure step itself refuses a
# layering that breaks the rules of ARCHITECTURE.md; this shows the graph to a reader.
# Usage: scripts/layers.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cmake -S "$here" -B "$build" -G Ninja --graphviz="$out/korva.dot" >/dev/null
awk '
  /\[ *label *= *"/ { match($0, /"node[0-9]+"/); id = substr($0, RSTART, RLENGTH);
                      match($0, /label *= *"[^"]+"/); l = substr($0, RSTART, RLENGTH);
                      sub(/label *= *"/, "", l); sub(/"$/, "", l); name[id] = l }
  /->/ { gsub(/[;]/, ""); split($0, p, /->/); a = p[1]; b = p[2]; gsub(/ /, "", a);
         match(b, /"node[0-9]+"/); b = substr(b, RSTART, RLENGTH); edge[a] = edge[a] " " b }
  END {
    for (id in name) if (name[id] ~ /^korva/) {
      line = ""
      n = split(edge[id], e, " ")
      for (i = 1; i <= n; i++) if (name[e[i]] ~ /^korva/) line = line " " name[e[i]]
      print name[id] " ->" line
    }
  }' "$out/korva.dot" | sort
