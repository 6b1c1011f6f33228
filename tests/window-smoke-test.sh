#!/usr/bin/env bash
# Opens the engine in a real window under Xvfb: it must run frames, write a shot and exit 0.
set -u
zepa=${1:?usage: window-smoke-test.sh ZEPA_BINARY}
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIPPED: xvfb-run is not installed, the real-window smoke test cannot run here"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game" "$work/runtime"
chmod 700 "$work/runtime"
# The X server's GL and session libraries keep allocations past exit (some from libraries that are
# unloaded by then, so no suppression can name them): leak checking is the unit tests' job.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
XDG_RUNTIME_DIR="$work/runtime" SDL_AUDIODRIVER=dummy timeout 60 \
  xvfb-run -a -s "-screen 0 1600x1200x24" \
  "$zepa" --game "$work/game" --frames 120 --shot "100:$work/shot.png" --dump-at-exit "$work/state.json"
status=$?
if [ $status -ne 0 ]; then
  echo "FAIL: zepa exited with status $status"
  exit 1
fi
if [ ! -s "$work/shot.png" ]; then
  echo "FAIL: no screenshot written"
  exit 1
fi
if ! grep -q '"scene": "Title"' "$work/state.json"; then
  echo "FAIL: the dump does not show the title scene"
  cat "$work/state.json"
  exit 1
fi
echo "ok: window opened, 120 frames run, shot written"
