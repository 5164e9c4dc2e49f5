#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs each one for
# SECONDS_PER_TARGET seconds (default 60), one after another on one job, then prints a
# summary. Corpora grow in build-fuzz/corpus/<target>, seeded from fuzz/seeds/<target>;
# crashes land in build-fuzz/findings/<target>.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DZORVEX_BUILD_FUZZ=ON -DZORVEX_BUILD_GUI=OFF \
    -DZORVEX_BUILD_TESTS=OFF -DZORVEX_BUILD_BENCH=OFF >/dev/null || exit 1

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for src in fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$src" .cpp)")
    done
fi
cmake --build "$build" -j2 --target "${targets[@]}" || exit 1

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
summary=()
status=0
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    findings=$build/findings/$target
    mkdir -p "$corpus" "$findings"
    seeds=()
    [ -d "fuzz/seeds/$target" ] && seeds=("fuzz/seeds/$target")
    extra=()
    case $target in
    fuzz_config_file | fuzz_range_list) extra=(-dict=fuzz/xml.dict) ;;
    # Three image files of up to 2100 bytes each behind a 5-byte header.
    fuzz_image_dir) extra=(-max_len=6500) ;;
    esac
    log=$build/findings/$target.log
    echo "== $target: $seconds s"
    "$build/fuzz/$target" -max_total_time="$seconds" -jobs=1 -workers=1 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" "${extra[@]}" "$corpus" "${seeds[@]}" \
        >"$log" 2>&1
    rc=$?
    # -jobs=1 sends the fuzzer's own output to fuzz-0.log in the working directory.
    [ -f fuzz-0.log ] && cat fuzz-0.log >>"$log" && rm -f fuzz-0.log
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    files=$(find "$corpus" -type f | wc -l)
    crashes=$(find "$findings" -type f ! -name '*.log' | wc -l)
    if [ $rc -ne 0 ] || [ "$crashes" -gt 0 ]; then
        status=1
        verdict="FAILED (exit $rc, $crashes finding(s) in $findings, log $log)"
    else
        verdict="clean"
    fi
    summary+=("$(printf '%-22s %s runs, %s, corpus %s files: %s' "$target" "${runs:-?}" \
        "${cov:-cov: ?}" "$files" "$verdict")")
done

echo
echo "== summary ($seconds s per target)"
printf '%s\n' "${summary[@]}"
exit $status
