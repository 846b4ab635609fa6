#!/usr/bin/env bash
# The forge killed at random moments leaves every file whole: each file under its final
# name is byte for byte the one a complete run writes (the forge gives the same bytes on
# every run), or absent. Half the trials start from an empty folder, half re-write a
# complete one, where a file cut short or emptied would replace a good one.
#   forge_killed.sh FORGE MAP_SOURCES WORK_DIR [TRIALS]
set -u
forge="$1"
maps="$2"
work="$3"
trials="${4:-20}"
rm -rf "$work"
mkdir -p "$work"

start=$(date +%s%N)
if ! "$forge" "$work/whole/data" --maps "$maps" >/dev/null 2>"$work/whole.err"; then
    echo "the reference run failed:"
    cat "$work/whole.err"
    exit 1
fi
# A complete run's length in milliseconds: the kills fall anywhere inside it.
span=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$span" -ge 20 ] || span=20
count=$(cd "$work/whole" && find . -type f | wc -l)
# The world must be written into a folder named "data".

RANDOM=$$
failed=0
for trial in $(seq 1 "$trials"); do
    dir="$work/trial$trial"
    if [ $((trial % 2)) -eq 0 ]; then
        cp -r "$work/whole" "$dir"
    else
        mkdir -p "$dir"
    fi
    delay=$(( (RANDOM * 32768 + RANDOM) % span ))
    "$forge" "$dir/data" --maps "$maps" >/dev/null 2>&1 &
    pid=$!
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    whole=0
    while IFS= read -r -d '' f; do
        rel="${f#"$dir"/}"
        case "$rel" in
        *.tmp | *.tmp.bmp) continue ;;  # a temporary file of the write that was cut off
        esac
        if ! cmp -s "$f" "$work/whole/$rel"; then
            echo "trial $trial (killed after $delay ms): $rel is not whole ($(stat -c %s "$f") bytes of $(stat -c %s "$work/whole/$rel" 2>/dev/null || echo '?'))"
            failed=1
        else
            whole=$((whole + 1))
        fi
    done < <(find "$dir" -type f -print0)
    echo "trial $trial: killed after $delay ms, $whole of $count files written and whole"
    rm -rf "$dir"
done
rm -rf "$work"
exit $failed
