#!/usr/bin/env bash
# Fuzzes the interchange reader with libFuzzer under ASan and UBSan for SECONDS (60 by
# default): a crash, a sanitizer report, an abort or a run slower than 10 s on one input
# fails. CI runs a short smoke; a long run is done by hand (scripts/fuzz.sh 600).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$here/build-fuzz"
CC=clang CXX=clang++ cmake -S "$here/tests/interchange/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
# The committed seeds stay as they are; the run grows a corpus of its own.
mkdir -p "$build/corpus"
cp -n "$here/tests/interchange/fuzz/corpus/"* "$build/corpus/" 2>/dev/null || true
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
./fuzz_leitor -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 corpus
