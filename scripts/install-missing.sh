# Sourced by the scripts that install what they need. install_missing WHO PACKAGE...
# installs those of the Debian packages that are not installed yet (with sudo when not
# root), saying "WHO: installing ..." first, or "WHO: all packages present". Call it as a
# plain command, so that under set -e a failed install stops the script.
install_missing() {
  local who=$1; shift
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]} == 0)); then
    echo "$who: all packages present"
    return 0
  fi
  echo "$who: installing ${missing[*]}"
  local sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install \
    -y -qq --no-install-recommends "${missing[@]}"
}
