#!/usr/bin/env bash
# Installs the Debian 12 packages that making and checking the Debian package needs (on top
# of scripts/setup.sh). Quick when all is there.
set -euo pipefail
source "$(dirname "$0")/install-missing.sh"
packages=(
  help2man gzip dpkg-dev fakeroot
  lintian appstream desktop-file-utils man-db bash-completion
)
install_missing setup-packaging "${packages[@]}"
