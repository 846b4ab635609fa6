#!/bin/sh
# The README and the pages beside it in docs/ hold together: every link between them (and
# to a picture) leads to a file, every page is listed in the README, the README stays short
# enough to read on a screen or two, the campaign's counts are the ones the forge counted in
# the data (the sentence the packaging texts quote, from the build), and the screenshots are
# no older than the maps they show.
# Usage: check_docs.sh SOURCE_DIR CAMPAIGN_SENTENCE_FILE
root="$1"
sentence=$(cat "$2") || exit 2
cd "$root" || exit 2
bad=0
fail() { echo "$*"; bad=1; }

[ "$(wc -l <README.md)" -le 150 ] || fail "README.md: $(wc -l <README.md) lines, more than 150"

for page in README.md docs/*.md; do
    dir=$(dirname "$page")
    # The target of every [text](target) and ![alt](target) outside code, web links aside.
    awk '/^```/ { code = !code; next } !code' "$page" | grep -o '](\([^)]*\))' |
        sed 's/^](//; s/)$//; s/#.*//' | grep -v '^[a-z]*://' | grep -v '^$' | while read -r target; do
        [ -e "$dir/$target" ] || echo "$page: link to $target leads nowhere"
    done
done >"${TMPDIR:-/tmp}/check_docs.$$"
if [ -s "${TMPDIR:-/tmp}/check_docs.$$" ]; then
    cat "${TMPDIR:-/tmp}/check_docs.$$"
    bad=1
fi
rm -f "${TMPDIR:-/tmp}/check_docs.$$"

for page in docs/*.md; do
    grep -q "](${page})" README.md || fail "$page: not listed in README.md"
    head -n 1 "$page" | grep -q '^# ' || fail "$page: does not start with its title"
done

for page in README.md docs/campaign.md; do
    grep -qxF "$sentence" "$page" || fail "$page: the campaign's counts are not \"$sentence\""
done
# Any other statement of the counts in that form disagrees with the data.
grep -n 'Its [0-9]* maps hold' README.md docs/*.md | grep -vF "$sentence" | sed 's/$/: not the counts of the data/'
[ -z "$(grep -n 'Its [0-9]* maps hold' README.md docs/*.md | grep -vF "$sentence")" ] || bad=1

# The screenshots of the world show the campaign as it is: none may be older, in the history,
# than the newest change to the map sources (scripts/screenshots.sh takes them again; the
# title and the story panel show no map).
if git rev-parse --git-dir >/dev/null 2>&1; then
    maps=$(git log -1 --format=%ct -- content/maps)
    for shot in docs/screenshots/game.png docs/screenshots/map*.png; do
        taken=$(git log -1 --format=%ct -- "$shot")
        [ -z "$taken" ] || [ -z "$maps" ] || [ "$taken" -ge "$maps" ] ||
            fail "$shot: older than the newest change to content/maps (take it again: scripts/screenshots.sh)"
    done
else
    echo "not a git checkout: the screenshots' age is not checked"
fi

[ "$bad" -eq 0 ] && echo "README.md and $(ls docs/*.md | wc -l) pages hold together"
exit $bad
