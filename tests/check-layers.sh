#!/usr/bin/env bash
# Fails when the include graph between the folders under src/ has a cycle, or when a folder
# includes a folder that the layer order puts above it. The order (lowest first) is the one the
# build links the layer libraries in:
#   platform core gfx input resources audio text stage windows script scenes app
# and lint sits above script (beside scenes and app).
#   check-layers.sh SRC_DIR
set -euo pipefail
src=${1:?usage: check-layers.sh SRC_DIR}
order=(platform core gfx input resources audio text stage windows script scenes app)
rank() {
  local i
  for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }; done
  [ "$1" = lint ] && { echo 9.5; return; }  # above script, below nothing that includes it
  echo ""
}

# One "from to" line per folder that includes another (quoted includes name "folder/...").
edges=$(cd "$src" && grep -rHoE '^\s*#\s*include\s*"[a-z]+/' --include='*.h' --include='*.cpp' . |
  sed -E 's#^\./([a-z]+)/[^:]*:.*"([a-z]+)/$#\1 \2#' | awk '$1 != $2' | sort -u)

status=0
if ! printf '%s\n' "$edges" | tsort >/dev/null 2>&1; then
  echo "the include graph between the folders of $src has a cycle:"
  printf '%s\n' "$edges" | tsort 2>&1 >/dev/null | grep -v 'input contains a loop' | sed 's/^tsort: /  /' || true
  status=1
fi
while read -r from to; do
  [ -z "$from" ] && continue
  rf=$(rank "$from") rt=$(rank "$to")
  if [ -z "$rf" ] || [ -z "$rt" ]; then
    echo "folder not in the layer order: $from -> $to"
    status=1
  elif awk -v a="$rt" -v b="$rf" 'BEGIN { exit !(a > b) }'; then
    echo "upward include: $from includes $to"
    (cd "$src" && grep -rnE "#\s*include\s*\"$to/" "$from" | sed 's/^/  /')
    status=1
  fi
done <<<"$edges"
[ "$status" -eq 0 ] && echo "ok: $(printf '%s\n' "$edges" | wc -l) folder dependencies, no cycle, none upward"
exit "$status"
