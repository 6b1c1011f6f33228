#!/usr/bin/env bash
# Fails when a file under src/ outside src/platform/ includes SDL, FreeType, fontconfig or iconv.
src=${1:?usage: check-platform-includes.sh SRC_DIR}
hits=$(grep -rnE '#\s*include\s*[<"](SDL|SDL2/|ft2build|freetype|fontconfig|iconv)' "$src" \
       --include='*.h' --include='*.cpp' | grep -v "^$src/platform/")
if [ -n "$hits" ]; then
  echo "platform headers included outside src/platform/:"
  echo "$hits"
  exit 1
fi
echo "ok: platform headers only in src/platform/"
