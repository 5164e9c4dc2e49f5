#!/usr/bin/env bash
# Sets up the machine, builds the project twice (plain, and with AddressSanitizer +
# UndefinedBehaviorSanitizer) and runs every test in both builds, makes the Debian package
# from the plain build and checks it, then checks that the core still compiles for Windows
# and runs the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
status=0

echo "== plain build"
scripts/build.sh build -DZORVEX_SANITIZE=OFF -DZORVEX_BUILD_TESTS=ON -DZORVEX_BUILD_BENCH=ON
(cd build && ctest --output-on-failure --no-tests=error -j"$(nproc)") || status=1

echo "== Debian package (from the plain build)"
started=$SECONDS
if scripts/package.sh build; then
  scripts/check-package.sh || status=1
else
  status=1
fi
echo "package: $((SECONDS - started)) s"

echo "== sanitizer build (ASan + UBSan)"
scripts/build.sh build-asan -DZORVEX_SANITIZE=ON -DZORVEX_BUILD_TESTS=ON -DZORVEX_BUILD_BENCH=OFF
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
(cd build-asan && ctest --output-on-failure --no-tests=error -j"$(nproc)") || status=1

echo "== Windows compile check (MinGW-w64)"
scripts/check-windows.sh || status=1

echo "== Windows tests under Wine"
scripts/test-windows.sh || status=1

exit $status
