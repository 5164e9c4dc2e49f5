#!/usr/bin/env bash
# Builds the Debian package build/package/zorvex-prog_<version>_<arch>.deb and prints its
# path. Reuses the plain build tree BUILD_DIR (default build/) when there is one, so after
# scripts/test-all.sh only the manual pages and the package itself are made.
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh
scripts/setup-packaging.sh
if [ -f "$build/CMakeCache.txt" ]; then
  if grep -q '^ZORVEX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "package: $build is a sanitizer build; give a plain build tree" >&2
    exit 2
  fi
  # Configure again so that help2man, installed just now, is found.
  cmake -S . -B "$build" -DZORVEX_BUILD_GUI=ON -DZORVEX_BUILD_MAN=ON >/dev/null
else
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" -DZORVEX_SANITIZE=OFF \
    -DZORVEX_BUILD_TESTS=OFF -DZORVEX_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target zorvex_package_parts
rm -f "$build"/package/zorvex-prog_*.deb
if ! (cd "$build" && cpack -G DEB >cpack.log 2>&1); then
  cat "$build/cpack.log" >&2
  echo "package: cpack failed" >&2
  exit 1
fi
ls "$build"/package/zorvex-prog_*.deb
