#!/usr/bin/env bash
# Installs, builds and runs every test. With --sanitize, builds in build-asan with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the tests there. The tests that
# need a Firebird server start one of their own (scripts/firebird-server.sh) and stop it;
# when none can be started they are reported as skipped, with the reason, unless
# KORVA_REQUIRE_SERVER=1 (CI), which makes that a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh" --server
build="$here/build"
args=()
if [ "${1:-}" = "--sanitize" ]; then
  build="$here/build-asan"
  args=(-DKORVA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  # Leak checks are off here and on, test by test, for every test that never starts the
  # embedded engine (korva_test in cmake/Korva.cmake): beside the engine's threads the
  # leak checker's own thread stopper can crash at exit. For the others see tests/lsan.supp.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tests/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
"$here/scripts/build.sh" "$build" "${args[@]}"
cd "$build"
ctest --output-on-failure -j2
