#!/usr/bin/env bash
# Keeps the hand-written man pages in step with the programs: the long options a page describes
# must be exactly those the program's --help (and each sub-command's --help) lists.
#   tests/check-man-pages.sh MAN_PAGE PROGRAM [SUBCOMMAND...]
set -euo pipefail
page=$1 program=$2
shift 2
options_of_help() {
  { "$program" --help; for sub in "$@"; do "$program" "$sub" --help; done; } |
    grep -o -- '--[a-z][a-z0-9-]*' | sort -u
}
# roff writes a minus as \- and switches fonts with \fB ... \fR.
options_of_page() {
  sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$page" | grep -o -- '--[a-z][a-z0-9-]*' | sort -u
}
help=$(options_of_help "$@")
man=$(options_of_page)
if [ "$help" != "$man" ]; then
  echo "check-man-pages: $page and $(basename "$program") --help list different options:" >&2
  diff <(echo "$man") <(echo "$help") | sed -n 's/^< /  only in the man page: /p; s/^> /  only in --help: /p' >&2
  exit 1
fi
for sub in "$@"; do
  grep -q "^\.B $sub\b\|^\.B zepa\\\\-pack $sub\b" "$page" ||
    { echo "check-man-pages: $page does not describe the command $sub" >&2; exit 1; }
done
echo "check-man-pages: $page lists the $(echo "$help" | wc -l) options of $(basename "$program")"
