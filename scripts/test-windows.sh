#!/usr/bin/env bash
# Cross-compiles the core (model, link, simulated radio, operations) and its tests for
# Windows with MinGW-w64 and runs them under Wine in a private prefix, the Windows code
# paths included: the Win32 serial port and the transfer worker talk through COM ports of
# the prefix to simulated radios (the Linux zorvex-radio-sim) on pseudo-terminals.
# The files layer and the desktop program need libxml2, libxlsxwriter and Qt, which have no
# Windows build here: they are left out (their Windows code is compiled by check-windows.sh).
# Installs the cross compiler and Wine when they are missing. Usage:
#   scripts/test-windows.sh [BUILD_DIR]        (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/install-missing.sh
out=$(realpath -m "${1:-build-windows}")
mkdir -p "$out/logs"

packages=(g++-mingw-w64-x86-64-posix wine64 cmake make)
install_missing test-windows "${packages[@]}"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
jobs=$(nproc)

build_start=$SECONDS
echo "== test-windows: building the simulated radio for this machine"
cmake -S . -B "$out/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVEX_CORE_ONLY=ON \
  -DZORVEX_BUILD_TESTS=OFF "${launcher[@]}" >"$out/logs/host-configure.log"
cmake --build "$out/host" -j"$jobs" --target zorvex-radio-sim >"$out/logs/host-build.log" ||
  { tail -30 "$out/logs/host-build.log"; exit 1; }
sim=$out/host/src/sim/zorvex-radio-sim

echo "== test-windows: cross-compiling for Windows (MinGW-w64, static, posix threads)"
cmake -S . -B "$out/cross" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVEX_CORE_ONLY=ON -DZORVEX_BUILD_TESTS=ON \
  "${launcher[@]}" >"$out/logs/cross-configure.log"
cmake --build "$out/cross" -j"$jobs" >"$out/logs/cross-build.log" ||
  { grep -E "error|Error" "$out/logs/cross-build.log" | head -30; exit 1; }
build_seconds=$((SECONDS - build_start))

run_start=$SECONDS
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  "$wineserver" -k 2>/dev/null || true
}
trap cleanup EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== test-windows: creating the Wine prefix $WINEPREFIX"
  timeout 600 "$wine" wineboot -i >"$out/logs/wineboot.log" 2>&1
  "$wineserver" -w
fi

# The simulated radios, each on a pseudo-terminal of its own behind a COM port of the prefix.
declare -A radios=(
  [5]="RADIO --pace instant"
  [6]="PACED --pace real"
  [7]="DEAD --dead"
  [8]="SPEED --pace instant --verbose"
)
reg=$out/logs/ports.reg
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n' >"$reg"
for com in "${!radios[@]}"; do
  read -r name args <<<"${radios[$com]}"
  # shellcheck disable=SC2086
  "$sim" $args >"$out/logs/sim-$name.out" 2>"$out/logs/sim-$name.err" &
  pids+=($!)
  for _ in $(seq 300); do
    [ -s "$out/logs/sim-$name.out" ] && break
    sleep 0.1
  done
  pty=$(head -1 "$out/logs/sim-$name.out")
  [ -c "$pty" ] || { echo "test-windows: the $name radio did not start"; exit 1; }
  printf '"COM%s"="%s"\n' "$com" "$pty" >>"$reg"
  export "ZORVEX_WIN_${name}_COM=$com"
done
# Wine's mount manager links dosdevices/comN to the terminal and lists the port in the
# serial-port map when it starts, so the prefix is restarted after the ports are set.
"$wine" regedit /S "Z:${reg//\//\\}" >"$out/logs/regedit.log" 2>&1
"$wineserver" -k || true
"$wineserver" -w || true
"$wineserver" -p >"$out/logs/wineserver.log" 2>&1

status=0
total_passed=0
total_failed=0
total_skipped=0
summary=()
for exe in test_model test_link test_sim test_operations test_windows; do
  log=$out/logs/$exe.log
  (cd "$out/cross/tests" && timeout 900 "$wine" "./$exe.exe" --gtest_color=no) \
    >"$log" 2>&1 </dev/null || status=1
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -1)
  failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below:.*/\1/p' "$log" | tail -1)
  skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below:.*/\1/p' "$log" | tail -1)
  passed=${passed:-0} failed=${failed:-0} skipped=${skipped:-0}
  if [ "$passed" -eq 0 ] && [ "$failed" -eq 0 ]; then failed=1; status=1; fi
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
  summary+=("$(printf '  %-16s %4d passed, %d failed, %d skipped' "$exe" "$passed" "$failed" "$skipped")")
  if [ "$failed" -ne 0 ]; then
    grep -E "Failure|FAILED|SKIPPED|error|watchdog|Expected|Which is|Value of|Actual" "$log" | head -40
  fi
done

# The link-speed requests of test_windows, as the radio saw them: first to 115200 Bd (sent at
# 9600 Bd), then back to 9600 Bd.
speed_log=$out/logs/sim-SPEED.err
if grep -q "link speed 115200 Bd" "$speed_log" &&
  grep -A100000 "link speed 115200 Bd" "$speed_log" | grep -q "link speed 9600 Bd"; then
  summary+=("  link-speed requests received by the radio: 115200 Bd, then 9600 Bd")
  total_passed=$((total_passed + 1))
else
  summary+=("  link-speed requests NOT seen by the radio (see $speed_log)")
  total_failed=$((total_failed + 1))
  status=1
fi
run_seconds=$((SECONDS - run_start))

echo "== test-windows summary (logs in $out/logs)"
printf '%s\n' "${summary[@]}"
echo "  build ${build_seconds} s, Wine run ${run_seconds} s"
echo "test-windows: ${total_passed} passed, ${total_failed} failed, ${total_skipped} skipped"
exit $status
