#!/bin/sh
# Makes the comma locales the tests run under, without root and without
# touching /etc: compiled into the folder given, to be used with LOCPATH.
# Fails, naming the locale, when one cannot be made, so that a test pass
# never falls back to the C locale unnoticed.
#   sh scripts/locales.sh DIR ru_RU.UTF-8 de_DE.UTF-8 ...
set -eu
dir="$1"
shift
mkdir -p "$dir"
for name in "$@"; do
    [ -f "$dir/$name/LC_NUMERIC" ] && continue
    input="${name%%.*}"
    charset="${name#*.}"
    if ! localedef -i "$input" -f "$charset" "$dir/$name" 2>"$dir/$name.err"; then
        # localedef warns (and exits 1) for harmless details of some sources;
        # what matters is whether the numeric category was written.
        if [ ! -f "$dir/$name/LC_NUMERIC" ]; then
            cat "$dir/$name.err" >&2
            echo "locales.sh: could not make the locale $name in $dir" >&2
            exit 1
        fi
    fi
    rm -f "$dir/$name.err"
done
