#!/bin/sh
# tools/test.sh -- installs what is missing, builds the Windows programs and runs their tests under Wine
# (tools/test-windows.sh), builds everything twice for Linux (plain, and under AddressSanitizer with
# UndefinedBehaviorSanitizer) and runs the whole test suite in both builds.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh
JOBS=$(nproc 2>/dev/null || echo 2)

# The Windows programs (build-windows/) and their test programs under Wine, first: the Linux build's
# whole-program checks under Wine need them.
tools/test-windows.sh
export TOCKWHEEL_REQUIRE_WINDOWS=1

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOCKWHEEL_SANITIZE=ON -DTOCKWHEEL_BENCH=OFF >/dev/null
cmake --build build-asan -j "$JOBS"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The Windows programs' runs under Wine test no Linux code: once, in the plain build, is enough.
(cd build-asan && ctest --output-on-failure -j "$JOBS" -E WindowsRun)
