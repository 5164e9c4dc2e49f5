#!/usr/bin/env bash
# Sets up the machine, builds the programs and reads a (simulated) radio into a
# configuration file, as a technician would with a real radio on a COM port.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DZORVEX_SANITIZE=OFF -DZORVEX_BUILD_TESTS=OFF -DZORVEX_BUILD_BENCH=OFF
out=${1:-radio-read.xml}
build/src/cli/zorvex-cli read --simulate -o "$out" --images radio-images
echo "Configuration saved to $out; table images kept in radio-images/"
