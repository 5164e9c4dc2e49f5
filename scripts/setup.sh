#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds and tests with. Quick when all is there.
set -euo pipefail
source "$(dirname "$0")/install-missing.sh"
packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-translations-l10n
  libxml2-dev
  libxlsxwriter-dev
  libgtest-dev
  xvfb xauth
  python3 python3-openpyxl
  bash-completion
)
install_missing setup "${packages[@]}"
