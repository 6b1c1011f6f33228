#!/usr/bin/env bash
# The demo test: `make demo` without a display plays the whole story from demo/demo.replay without
# a script error, takes every screenshot its header names, and ends back at the title after the
# replay's answers (the star story, then "go now"; in the save menu, slot 1 for the quick save).
#   demo/check-demo.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
out=$build/demo-test
rm -rf "$out"
mkdir -p "$out"
fail() { echo "check-demo: $*" >&2; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY "$root/scripts/run-demo" "$build" "$build/demo/game" "$out" >"$out/run.log" 2>&1 ||
  { cat "$out/run.log" >&2; fail "run-demo failed"; }
state=$out/state.json
[ -s "$state" ] || fail "no state dump"
grep -q '"messages": \[\]' "$state" || { grep -A8 '"messages"' "$state" >&2; fail "the scripts reported errors"; }
grep -q '"scene": "Title"' "$state" || fail "the story did not end at the title"
grep -q '"quickSaveSlot": 1' "$state" || fail "the save menu's answer did not arrive"
tr -d ' \n' <"$state" | grep -q '"flags":\[1,2\]' || fail "the answers to the question did not arrive"
while read -r file; do
  [ -s "$out/$file" ] || fail "screenshot $file missing"
done < <(awk '$1 == "#" && $2 == "shot" { print $4 }' "$root/demo/demo.replay")
echo "check-demo: the demo played through; screenshots in $out"
