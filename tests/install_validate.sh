#!/bin/sh
# Installs the build tree into an empty prefix and checks what a desktop
# needs to find, launch and describe the program: the files exist under the
# names the entries point at, and the desktop and AppStream validators accept
# them. Exits 77 (skipped) when a validator is not installed.
# Usage: install_validate.sh <cmake> <build dir> <project version>
set -u
cmake="$1"
build="$2"
version="$3"
id=io.github.morvane.Morvane

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT INT TERM
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null || {
    echo "FAIL: cmake --install into $prefix"
    exit 1
}

desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
man="$prefix/share/man/man1/morvane.1.gz"
exportman="$prefix/share/man/man1/morvane-export.1.gz"
copyright="$prefix/share/doc/morvane/copyright"
changelog="$prefix/share/doc/morvane/changelog.gz"
for f in "$desktop" "$metainfo" "$man" "$exportman" "$copyright" "$changelog" \
    "$prefix/share/icons/hicolor/48x48/apps/$id.png" \
    "$prefix/share/icons/hicolor/scalable/apps/$id.svg"; do
    [ -s "$f" ] || fail "missing ${f#"$prefix"/}"
done
for program in morvane morvane-export; do
    [ -x "$prefix/bin/$program" ] || fail "missing executable bin/$program"
done
# The command runs where it was installed, without a display.
if [ -x "$prefix/bin/morvane-export" ]; then
    rows="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        "$prefix/bin/morvane-export" --t=1 --csv=- 2>/dev/null | wc -l)"
    [ "$rows" = 12 ] || fail "installed morvane-export wrote $rows lines instead of 12"
fi
# The version is set once, in CMake: each place a user reads it must agree,
# and no gzip header may carry a time (two builds would differ).
for program in morvane morvane-export; do
    said="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version 2>&1)"
    [ "$said" = "$program $version" ] || fail "$program --version said \"$said\""
done
gzip -dc "$changelog" 2>/dev/null | head -n 1 | grep -q "^morvane ($version) " ||
    fail "the changelog's newest entry is not $version"
for gz in "$man" "$exportman" "$changelog"; do
    [ "$(od -An -tu1 -j3 -N5 "$gz" 2>/dev/null | tr -s ' ')" = " 0 0 0 0 0" ] ||
        fail "${gz##*/}: a time or a name in its gzip header"
done

# The entries must point at what was installed: a renamed icon or binary
# passes every validator but leaves a blank or dead launcher.
if [ -f "$desktop" ]; then
    # "env NAME=value program" starts the program with a setting.
    exec_cmd="$(sed -n 's/^Exec=\(env \([A-Z_]*=[^ ]* \)*\)\{0,1\}\([^ ]*\).*/\3/p' "$desktop" |
        sort -u)"
    for e in $exec_cmd; do
        [ -x "$prefix/bin/$e" ] || fail "Exec=$e is not an installed program"
    done
    [ -n "$exec_cmd" ] || fail "no Exec= in the desktop entry"
    [ "$(sed -n 's/^Icon=//p' "$desktop")" = "$id" ] || fail "Icon= is not $id"
fi
if [ -f "$metainfo" ]; then
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "metainfo does not launch $id.desktop"
    grep -m 1 "<release " "$metainfo" | grep -q "<release version=\"$version\"" ||
        fail "metainfo's newest release entry is not version $version"
    grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" ||
        fail "metainfo does not name the licence GPL-3.0-or-later"
fi
if [ -f "$copyright" ]; then
    { head -n 1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' &&
        sed -n '/^Files: \*$/,/^$/p' "$copyright" | grep -q '^License: GPL-3+$'; } ||
        fail "copyright is not machine-readable or not GPL-3+ for every file"
fi
for page in "$man:MORVANE" "$exportman:MORVANE-EXPORT"; do
    file="${page%%:*}"
    title="${page##*:}"
    [ -f "$file" ] || continue
    gzip -dc "$file" | grep -q "^\\.TH $title 1 .* \"Morvane $version\"" ||
        fail "${file##*/} is not the page of $title(1) for version $version"
    if command -v man >/dev/null 2>&1; then
        warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)"
        [ -z "$warnings" ] || fail "${file##*/} warnings: $warnings"
    fi
done

skipped=""
if command -v desktop-file-validate >/dev/null 2>&1; then
    echo "desktop-file-validate:"
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
    skipped="$skipped desktop-file-validate"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    echo "appstreamcli validate --no-net:"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
else
    skipped="$skipped appstreamcli"
fi

[ "$failures" -eq 0 ] || exit 1
if [ -n "$skipped" ]; then
    echo "Skipped: not installed:$skipped (sh scripts/deps.sh test)"
    exit 77
fi
