#!/usr/bin/env bash
# The example configuration opens, builds the radio's table images, writes to the
# simulated radio and reads back unchanged: it stays in the program's own form.
# Usage: example_config_test.sh ZORVEX_CLI EXAMPLE.xml
set -uo pipefail
cli=$1
example=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config
export ZORVEX_RANGE_LIST=$scratch/ranges.xml
passed=0
failed=0
step() {
    local name=$1
    shift
    if "$@" >"$scratch/out" 2>&1; then
        ((passed++))
    else
        ((failed++))
        echo "FAIL: $name"
        cat "$scratch/out"
    fi
}
images_complete() {
    local f
    for f in channels-0-99.bin channels-100-199.bin settings.bin; do
        [ "$(stat -c %s "$scratch/images/$f" 2>/dev/null)" = 2048 ] || return 1
    done
}
no_channel_removed() {
    ! grep -q 'удалены каналы' "$scratch/write.log"
}

step "image build" "$cli" image build "$example" "$scratch/images"
step "three 2048-byte images" images_complete
step "image parse" "$cli" image parse "$scratch/images" "$scratch/parsed.xml"
step "parsed images give the example back" cmp "$scratch/parsed.xml" "$example"
step "write to the simulated radio" \
    sh -c '"$0" write --simulate --sim-state "$1/radio.bin" "$2" >"$1/write.log" 2>&1' \
    "$cli" "$scratch" "$example"
step "no channel outside the range set" no_channel_removed
step "read back" "$cli" read --simulate --sim-state "$scratch/radio.bin" -o "$scratch/back.xml"
step "the radio holds the example" cmp "$scratch/back.xml" "$example"

echo "$passed passed, $failed failed"
((failed == 0))
