#!/usr/bin/env bash
# Checks the Debian package: its name, its contents (programs, desktop entry, icons,
# AppStream metadata, manual pages, completion, documentation), the dependencies computed
# from the shared libraries, the desktop entry and metadata validators, lintian (no errors),
# and then installs it with apt and runs the installed programs from another directory.
# A package that was not installed before is removed again at the end.
# Usage: scripts/check-package.sh [DEB]   (default: build/package/zorvex-prog_*.deb)
# Needs root or sudo (apt).
set -uo pipefail
cd "$(dirname "$0")/.."
deb=${1:-$(ls build/package/zorvex-prog_*.deb 2>/dev/null | head -1)}
if [ ! -f "$deb" ]; then
  echo "check-package: no package (run scripts/package.sh first)" >&2
  exit 2
fi
deb=$(realpath "$deb")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
log=$scratch/log
passed=0
failed=0
check() {
  local name=$1
  shift
  if "$@" >"$log" 2>&1; then
    ((passed++))
    echo "ok: $name"
  else
    ((failed++))
    echo "FAIL: $name"
    sed 's/^/    /' "$log"
  fi
}

version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg --print-architecture)
check "file name zorvex-prog_${version}_${arch}.deb" test "$(basename "$deb")" = "zorvex-prog_${version}_${arch}.deb"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/contents"
contents_hold() {
  local path status=0
  for path in "$@"; do
    grep -qx "$path" "$scratch/contents" || { echo "missing: $path"; status=1; }
  done
  return $status
}
check "contents: programs" contents_hold /usr/bin/zorvex-prog /usr/bin/zorvex-cli /usr/bin/zorvex-radio-sim
check "contents: desktop entry, icons, metadata" contents_hold \
  /usr/share/applications/zorvex-prog.desktop \
  /usr/share/icons/hicolor/48x48/apps/zorvex-prog.png \
  /usr/share/icons/hicolor/128x128/apps/zorvex-prog.png \
  /usr/share/icons/hicolor/256x256/apps/zorvex-prog.png \
  /usr/share/icons/hicolor/scalable/apps/zorvex-prog.svg \
  /usr/share/metainfo/org.zorvex.ZorvexProg.metainfo.xml
check "contents: manual pages, completion, documentation" contents_hold \
  /usr/share/man/man1/zorvex-prog.1.gz /usr/share/man/man1/zorvex-cli.1.gz \
  /usr/share/man/man1/zorvex-radio-sim.1.gz \
  /usr/share/bash-completion/completions/zorvex-cli \
  /usr/share/doc/zorvex-prog/copyright /usr/share/doc/zorvex-prog/changelog.gz \
  /usr/share/doc/zorvex-prog/examples/district-network.xml

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Each name must start a dependency (libxlsxwriter matches libxlsxwriter4).
depends_on() {
  local p status=0
  for p in "$@"; do
    [[ ", $depends" == *", $p"* ]] || { echo "no $p"; status=1; }
  done
  return $status
}
check "dependencies computed from the shared libraries" \
  depends_on libc6 libstdc++6 libqt6core6 libqt6widgets6 libxml2 libxlsxwriter qt6-qpa-plugins
check "section hamradio, recommends Qt's translations" \
  test "$(dpkg-deb -f "$deb" Section)/$(dpkg-deb -f "$deb" Recommends)" = "hamradio/qt6-translations-l10n"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
check "desktop entry validates" desktop-file-validate "$root/usr/share/applications/zorvex-prog.desktop"
check "AppStream metadata validates" \
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.zorvex.ZorvexProg.metainfo.xml"
check "metadata and change log name this version" sh -c '
  grep -q "<release version=\"$1\"" "$2/usr/share/metainfo/org.zorvex.ZorvexProg.metainfo.xml" &&
  zcat "$2/usr/share/doc/zorvex-prog/changelog.gz" | head -1 | grep -qF "zorvex-prog ($1)"' \
  sh "$version" "$root"

lintian_clean() {
  # Exit status 0 unless a tag of severity error was issued; every tag is listed.
  lintian --fail-on error --display-level ">=info" "$deb"
}
if lintian_clean >"$log" 2>&1; then
  ((passed++))
  echo "ok: lintian reports no errors"
else
  ((failed++))
  echo "FAIL: lintian reports errors"
fi
sed 's/^/    lintian: /' "$log"

# Installed for real: dependencies resolve, and the programs, the manual pages and the
# completion work from any directory.
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
was_installed=false
dpkg-query -W -f='${Status}' zorvex-prog 2>/dev/null | grep -q "install ok installed" && was_installed=true
check "apt installs the package" env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" \
  apt-get -o DPkg::Lock::Timeout=600 install -y -qq "$deb"
mkdir -p "$scratch/elsewhere"
cd "$scratch/elsewhere" || exit 1
installed() {
  env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$scratch/home" LANG=C.UTF-8 "$@"
}
check "zorvex-cli --help" installed sh -c 'zorvex-cli --help | grep -q "^Usage: zorvex-cli"'
check "zorvex-prog --version without a display" \
  installed sh -c 'env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM zorvex-prog --version | grep -qx "zorvex-prog '"$version"'"'
check "zorvex-radio-sim --version" installed sh -c 'zorvex-radio-sim --version | grep -qx "zorvex-radio-sim '"$version"'"'
check "man zorvex-cli" installed sh -c 'MANPAGER=cat MANWIDTH=80 man zorvex-cli | grep -q "zorvex-cli - program the mobile VHF radio"'
check "man zorvex-prog and man zorvex-radio-sim" installed sh -c 'man -w zorvex-prog && man -w zorvex-radio-sim'
check "bash completes zorvex-cli" installed bash -c '
  source /usr/share/bash-completion/bash_completion
  __load_completion zorvex-cli && complete -p zorvex-cli | grep -q _zorvex_cli'
cd - >/dev/null || exit 1
if ! $was_installed; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 remove -y -qq \
    zorvex-prog >/dev/null 2>&1 || true
fi

echo "check-package: $passed passed, $failed failed"
((failed == 0))
