#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds and tests with. Quick when all is there.
set -euo pipefail
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
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
