#!/usr/bin/env bash
# Completes zorvex-cli command lines as bash does at a prompt and checks what is offered.
# Usage: bash_completion_test.sh COMPLETION_FILE
set -uo pipefail
completion=$1
library=/usr/share/bash-completion/bash_completion
if [ ! -r "$library" ]; then
    echo "SKIP: bash-completion is not installed"
    exit 77
fi
# shellcheck source=/dev/null
source "$library"
# shellcheck source=/dev/null
source "$completion"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
touch a.xml b.csv c.xlsx notes.txt
mkdir imgs

# The offers for the last word of LINE, sorted, on one line. Words split as bash splits
# them for completion: at blanks, and "=" is a word of its own.
offers() {
    local line=$1 word
    COMP_WORDS=()
    for word in $line; do
        while [[ $word == *=* ]]; do
            [[ -n ${word%%=*} ]] && COMP_WORDS+=("${word%%=*}")
            COMP_WORDS+=("=")
            word=${word#*=}
        done
        [[ -n $word ]] && COMP_WORDS+=("$word")
    done
    [[ $line == *" " || $line == *= ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    _zorvex_cli zorvex-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' '
    return 0
}

passed=0
failed=0
check() {
    local line=$1 expected=$2 got
    got=$(offers "$line")
    if [[ $got == "$expected" ]]; then
        ((passed++))
    else
        ((failed++))
        echo "FAIL: '$line' offers '$got', expected '$expected'"
    fi
}

# line | offers
cases=(
    "zorvex-cli |backups check diff export image import info ports read restore write"
    "zorvex-cli re|read restore"
    "zorvex-cli -q re|read restore"
    "zorvex-cli image |build parse"
    "zorvex-cli -p 33 --sim-state s.bin image |build parse"
    "zorvex-cli --port=33 image |build parse"
    "zorvex-cli --de|--device"
    "zorvex-cli info --no-|--no-backup --no-verify"
    "zorvex-cli image build a.xml imgs --settings-version 1.|1.0 1.1 1.2 1.3"
    "zorvex-cli image build --channels2-version=|0 1.0 2.0"
    "zorvex-cli image build |a.xml imgs"
    "zorvex-cli image build a.xml |imgs"
    "zorvex-cli image parse |imgs"
    "zorvex-cli image parse imgs |a.xml imgs"
    "zorvex-cli export |a.xml imgs"
    "zorvex-cli export a.xml |b.csv c.xlsx imgs"
    "zorvex-cli import |b.csv imgs"
    "zorvex-cli write |a.xml imgs"
    "zorvex-cli write -p 33 --sim-state s.bin |a.xml imgs"
    "zorvex-cli write --port=33 |a.xml imgs"
    "zorvex-cli read -o |a.xml b.csv imgs"
    "zorvex-cli read --images |imgs"
    "zorvex-cli write -- -|"
    "zorvex-cli read --serial |"
)
for c in "${cases[@]}"; do
    check "${c%%|*}" "${c#*|}"
done

# Ports: the numbers that ZORVEX_COMn variables set are offered, in both option forms, and
# every offer is a port number.
export ZORVEX_COM250=/dev/null ZORVEX_COM251=/dev/null ZORVEX_COMX=/dev/null
for line in "zorvex-cli info --port 25" "zorvex-cli info -p 25" "zorvex-cli info --port=25"; do
    got=" $(offers "$line") "
    if [[ $got == *" 250 "* && $got == *" 251 "* && ! $got =~ [^0-9\ ] ]]; then
        ((passed++))
    else
        ((failed++))
        echo "FAIL: '$line' offers '$got', expected 250 and 251 among port numbers"
    fi
done

echo "$passed passed, $failed failed"
((failed == 0))
