#!/bin/sh
# An option added to morvane-export without its man page, or one dropped
# from the program but still described, fails here: the options --help
# names must be those the page's synopsis lists and those its OPTIONS
# section gives a paragraph of its own.
# Usage: manpage_options.sh <morvane-export> <morvane-export.1 or .1.in>
set -u
# The suite also runs under Russian and German locales: ranges and sorting
# here are taken byte by byte whatever the caller's.
export LC_ALL=C
program="$1"
page="$2"

# Every --name in a text, once each, sorted.
options() {
    grep -o -- '--[a-z0-9][a-z0-9-]*' | sort -u
}

help="$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help | options)"
[ -n "$help" ] || {
    echo "FAIL: $program --help names no option"
    exit 1
}
# troff writes a hyphen as \-; a section runs from its .SH to the next.
plain="$(sed 's/\\-/-/g' "$page")"
synopsis="$(echo "$plain" | sed -n '/^\.SH SYNOPSIS/,/^\.SH /p' | options)"
# Only the tag lines (the line after .TP): an option merely mentioned in
# another's paragraph is not described.
described="$(echo "$plain" | sed -n '/^\.SH OPTIONS/,/^\.SH /p' |
    awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }' | options)"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT INT TERM
printf '%s\n' "$help" >"$tmp/help"
failures=0
compare() {
    printf '%s\n' "$2" >"$tmp/page"
    cmp -s "$tmp/help" "$tmp/page" && return
    echo "FAIL: --help and the man page's $1 differ (<: only in --help, >: only in the page)"
    diff "$tmp/help" "$tmp/page" | grep '^[<>]'
    failures=$((failures + 1))
}
compare SYNOPSIS "$synopsis"
compare OPTIONS "$described"
[ "$failures" -eq 0 ] || exit 1
echo "$(echo "$help" | wc -l) options, each in the synopsis and described"
