#!/bin/sh
# An option of morvane-export missing from its man page, or described there
# but gone from the program, fails here: the options --help names must be
# those of the page's synopsis and those of its OPTIONS tags (the .TP lines).
# Usage: manpage_options.sh <morvane-export> <morvane-export.1.in>
set -u
export LC_ALL=C # ranges and sorting byte by byte under the suite's comma locales
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT INT TERM
options() { grep -o -- '--[a-z0-9][a-z0-9-]*' | sort -u; }
section() { sed 's/\\-/-/g' "$2" | sed -n "/^\\.SH $1/,/^\\.SH /p"; }

"$1" --help | options >"$tmp/help"
[ -s "$tmp/help" ] || { echo "FAIL: $1 --help names no option"; exit 1; }
section SYNOPSIS "$2" | options >"$tmp/SYNOPSIS"
# An option merely named in another's paragraph is not described.
section OPTIONS "$2" | awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }' | options >"$tmp/OPTIONS"
failures=0
for part in SYNOPSIS OPTIONS; do
    diff "$tmp/help" "$tmp/$part" >"$tmp/diff" && continue
    echo "FAIL: --help (<) and the man page's $part (>) differ:"
    grep '^[<>]' "$tmp/diff"
    failures=$((failures + 1))
done
exit "$failures"
