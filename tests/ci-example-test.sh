#!/usr/bin/env bash
# Runs the "A test in CI" example of docs/testing.md as it is written there, on a game (the demo's
# folder with a story of two chapters) that reaches chapter 2 and sets flag 3.
#   ci-example-test.sh DOCS_TESTING_MD BIN_DIR DEMO_GAME_DIR
set -euo pipefail
docs=$(realpath "$1")
bin=$(realpath "$2")
demo=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

awk '/^## A test in CI/ { section = 1 } section && /^```sh/ { code = 1; next } code && /^```/ { exit } code' \
  "$docs" > example.sh
[ -s example.sh ] || { echo "ci-example-test: no example found in $docs" >&2; exit 1; }

cp -r "$demo" MyGame
rm -rf MyGame/Save MyGame/option.ini
printf 'Calc($flag[3] = true)\r\nWaitOK\r\nJump(start, "Chapter2.txt")\r\n' > MyGame/Script/Script.txt
printf '*start\r\nWaitOK\r\n' > MyGame/Script/Chapter2.txt
mkdir tests
printf '30 key Z down\n31 key Z up\n' > tests/chapter1.replay

PATH="$bin:$PATH" sh -e example.sh
[ -f out/chapter1.png ] && [ -f out/chapter1.json ]
