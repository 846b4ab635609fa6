#!/usr/bin/env bash
# The automated player's usage: asked for with --help it is the answer (standard output,
# status 0, before any game starts); a command line it cannot read gets it as an error
# (standard error, status 2).
set -u
autoplay="$1"
fail=0
out=$("$autoplay" --help 2>/tmp/grimhold-autoplay-usage.$$)
status=$?
err=$(cat /tmp/grimhold-autoplay-usage.$$)
echo "--help: status $status"
[ "$status" -eq 0 ] && [ -z "$err" ] && echo "$out" | head -n 1 | grep -q '^usage: grimhold-autoplay ' ||
    { echo "FAIL: --help gave status $status, standard output '$out', standard error '$err'"; fail=1; }
out=$("$autoplay" --bogus 2>/tmp/grimhold-autoplay-usage.$$)
status=$?
err=$(cat /tmp/grimhold-autoplay-usage.$$)
rm -f /tmp/grimhold-autoplay-usage.$$
echo "--bogus: status $status"
[ "$status" -eq 2 ] && [ -z "$out" ] && echo "$err" | head -n 1 | grep -q '^usage: grimhold-autoplay ' ||
    { echo "FAIL: --bogus gave status $status, standard output '$out', standard error '$err'"; fail=1; }
exit $fail
