#!/usr/bin/env bash
# With no X display there is no video mode at any depth: the game says so and exits 1.
set -u
out=$(env -u DISPLAY timeout 20 "$1" 2>&1)
status=$?
echo "$out"
[ "$status" -eq 1 ] || { echo "expected exit status 1, got $status"; exit 1; }
echo "$out" | grep -q "Can't init graphics window!" || { echo "message missing"; exit 1; }
