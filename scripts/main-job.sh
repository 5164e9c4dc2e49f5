#!/usr/bin/env bash
# Sets up the machine, builds the programs and reads a (simulated) radio into a
# configuration file, as a technician would with a real radio on a COM port.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DZORVEX_SANITIZE=OFF -DZORVEX_BUILD_TESTS=OFF -DZORVEX_BUILD_BENCH=OFF
out=${1:-radio-read.xml}
build/src/cli/zorvex-cli read --simulate -o "$out" --images radio-images
here=$(pwd)
cat <<EOT

Done. The simulated radio's configuration is in $(realpath "$out"),
its raw table images (channels-0-99.bin, channels-100-199.bin, settings.bin) in $here/radio-images/.
The programs are in $here/build/src/{ui,cli,sim}/.

Try next:
  build/src/ui/zorvex-prog                          the desktop program (Файл → Открыть: $out)
  build/src/cli/zorvex-cli info --simulate          what a radio reports about itself
  build/src/cli/zorvex-cli write --simulate examples/district-network.xml
                                                    write the 48-channel example to a simulated radio
  build/src/cli/zorvex-cli export $out radio.xlsx
                                                    the channel list as a spreadsheet
  scripts/package.sh                                a Debian package to install (see README.md)
EOT
