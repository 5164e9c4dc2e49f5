#!/usr/bin/env bash
# Installs the Debian 12 packages that making and checking the Debian package needs (on top
# of scripts/setup.sh). Quick when all is there.
set -euo pipefail
packages=(
  help2man gzip dpkg-dev fakeroot
  lintian appstream desktop-file-utils man-db bash-completion
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "setup-packaging: installing ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install \
    -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup-packaging: all packages present"
fi
