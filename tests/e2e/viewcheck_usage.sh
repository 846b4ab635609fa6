#!/usr/bin/env bash
# The view check's command line: --help answers with the usage (standard output, status 0);
# a command line it cannot read gets the usage as an error (status 2), and so does a map the
# sources do not hold; data that is not a folder named data is refused with status 1.
# Usage: viewcheck_usage.sh VIEWCHECK MAPS_DIR
set -u
tool="$1"
maps="$2"
fail=0
scratch=$(mktemp -d /tmp/grimhold-viewcheck-usage-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# check NAME STATUS ARGS...: the status, and the usage on standard output for --help and on
# standard error for status 2.
check() {
    local name="$1" want="$2"
    shift 2
    "$tool" "$@" >"$scratch/out" 2>"$scratch/err"
    status=$?
    ok=1
    [ "$status" -eq "$want" ] || ok=0
    [ "$want" -ne 0 ] || head -n 1 "$scratch/out" | grep -q '^usage: grimhold-viewcheck DATA_DIR MAPS_DIR' || ok=0
    [ "$want" -ne 2 ] || grep -q '^usage: grimhold-viewcheck\|^grimhold-viewcheck: no map' "$scratch/err" || ok=0
    if [ "$ok" = 1 ]; then
        echo "$name: status $status"
    else
        echo "$name: expected status $want, got $status; standard output and error:"
        cat "$scratch/out" "$scratch/err"
        fail=1
    fi
}

check help 0 --help
check help_after_folders 0 "$scratch" "$maps" --help
check nothing 2
check one_folder 2 "$scratch"
check unknown_option 2 "$scratch/data" "$maps" --bogus
check no_places 2 "$scratch/data" "$maps" --places 0
check places_not_a_number 2 "$scratch/data" "$maps" --places many
check map_not_a_number 2 "$scratch/data" "$maps" --map first
check map_not_in_the_sources 2 "$scratch/data" "$maps" --map 999
check data_not_named_data 1 "$scratch" "$maps"
grep -q 'a folder named "data"' "$scratch/err" || { echo "data_not_named_data: not said why"; fail=1; }
check no_data 1 "$scratch/data" "$maps" --map 101
exit $fail
