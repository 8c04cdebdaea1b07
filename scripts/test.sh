#!/usr/bin/env bash
# Installs, builds and runs every test. With --sanitize, builds in build-asan with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the tests there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
build="$here/build"
args=()
if [ "${1:-}" = "--sanitize" ]; then
  build="$here/build-asan"
  args=(-DKORVA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  # Leak checks are left to a run by hand (see tests/lsan.supp): the leak checker's own
  # thread stopper can crash at exit beside the Firebird engine's threads.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tests/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
"$here/scripts/build.sh" "$build" "${args[@]}"
cd "$build"
ctest --output-on-failure -j2
