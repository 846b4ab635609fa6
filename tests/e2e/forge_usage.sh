#!/usr/bin/env bash
# The forge's usage: asked for with --help it is the answer (standard output, status 0); a
# command line it cannot read gets it as an error (standard error, status 2). A data folder
# not named "data" is refused (status 1) before anything is written.
set -u
forge="$1"
fail=0
scratch=$(mktemp -d /tmp/grimhold-forge-usage-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
usage="usage: grimhold-forge DATA_DIR [--maps DIR] [--overview DIR] [--contact-sheets DIR] [--icons DIR] [--facts FILE]"

# check NAME STATUS STDOUT STDERR ARGS...: the status and both streams, exactly.
check() {
    local name="$1" want_status="$2" want_out="$3" want_err="$4"
    shift 4
    out=$(cd "$scratch" && "$forge" "$@" 2>"$scratch/err")
    status=$?
    err=$(cat "$scratch/err")
    if [ "$status" -ne "$want_status" ] || [ "$out" != "$want_out" ] || [ "$err" != "$want_err" ]; then
        echo "$name: expected status $want_status, got $status; standard output:"
        echo "$out"
        echo "standard error:"
        echo "$err"
        fail=1
    else
        echo "$name: status $status"
    fi
}

check help 0 "$usage" "" --help
check help_after_a_folder 0 "$usage" "" data --help
check nothing 2 "" "$usage"
check unknown_option 2 "" "$usage" data --bogus
check option_without_its_folder 2 "" "$usage" data --maps
[ ! -e "$scratch/data" ] || { echo "--help wrote data"; fail=1; }
check not_named_data 1 "" 'elsewhere: the game'"'"'s data is written into a folder named "data"' elsewhere
written=$(ls -A "$scratch" | grep -vx err)  # err: the streams of this script's own checks
[ -z "$written" ] || { echo "a refused folder was written: $written"; fail=1; }
exit $fail
