#!/bin/sh
# Takes the pictures in docs/ (light.png, graph-menu.png, full.png, loader.png,
# log.png, and the lab window: lab.png, lab-compare.png, lab-disaster.png and
# its risk.png; then lab-beside.png, saved-note.png, light-1.5.png and
# lab-1.5.png) on a private X server, so they look the same on every machine.
# Builds in build/ like run.sh; MORVANE_SHOTS_BUILD names another build
# directory.
set -eu
cd "$(dirname "$0")/.."

if [ -z "${MORVANE_SHOTS_BIN:-}" ]; then
    sh scripts/deps.sh build shots
    build="${MORVANE_SHOTS_BUILD:-build}"
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
    cmake --build "$build" --target morvane -j"$(nproc)"
    # As a Russian user sees the program: the locale made without root.
    sh scripts/locales.sh "$PWD/$build/locales" ru_RU.UTF-8
    MORVANE_SHOTS_LOCPATH="$PWD/$build/locales" MORVANE_SHOTS_BIN="$PWD/$build/src/morvane" \
        exec xvfb-run -a -s "-screen 0 1280x800x24" sh "$0"
fi

# From here on we run on the Xvfb display. There is no window manager, so
# every window is placed at (0,0) without a frame, and the click positions
# below are pixels inside the window.
bin="$MORVANE_SHOTS_BIN"
# MORVANE_SHOTS_LOCALE and MORVANE_SHOTS_DIR take the same pictures in another
# locale into another folder, to compare them with these.
export LOCPATH="${MORVANE_SHOTS_LOCPATH:-}" LC_ALL="${MORVANE_SHOTS_LOCALE:-ru_RU.UTF-8}" QT_QPA_PLATFORM=xcb
out="${MORVANE_SHOTS_DIR:-docs}"
mkdir -p "$out"
root="$(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')"
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT

# Prints the id of the first visible window of the program whose title
# matches $1, waiting up to 10 s for it.
find_window() {
    i=0
    while [ "$i" -lt 100 ]; do
        w="$(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -n 1 || true)"
        if [ -n "$w" ]; then
            echo "$w"
            return 0
        fi
        sleep 0.1
        i=$((i + 1))
    done
    echo "no window \"$1\" appeared" >&2
    return 1
}

# Waits until the window's picture stays the same for a whole second (for
# at most $2 seconds, 60 unless given): a run
# keeps changing the status bar, the progress bar or the curves until it ends.
settle() {
    last=""
    i=0
    while [ "$i" -lt "${2:-60}" ]; do
        sleep 1
        now="$(import -window "$1" -depth 8 rgb:- | md5sum)"
        [ "$now" = "$last" ] && return 0
        last="$now"
        i=$((i + 1))
    done
    echo "window $1 never settled" >&2
    return 1
}

# Clicks at a pixel of the window, then moves the pointer off every window
# so no button is caught in its hover state.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    xdotool mousemove 1270 790
}

# Takes the input focus away from the program first, so no text box shows a
# blinking caret.
shoot() {
    xdotool windowfocus --sync "$root"
    sleep 0.5
    import -window "$1" -strip "$2"
    echo "$2: $(identify -format '%wx%h' "$2")"
}

stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
}

# The light edition after one run with the texts at load.
"$bin" &
pid=$!
win="$(find_window '^Модель Катастроф$')"
sleep 0.5
click "$win" 276 344
settle "$win"
shoot "$win" "$out"/light.png
# Then a disaster marked at model time 20 and a run again, with the graph's
# menu open. The menu is a window of its own: its picture is cut from the
# screen.
click "$win" 372 322 # MakeDisaster "Сделать катастрофу"
click "$win" 230 200
click "$win" 276 344
settle "$win"
xdotool windowfocus --sync "$root"
xdotool mousemove --window "$win" 300 110 click 3
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip "$out"/graph-menu.png
echo "$out/graph-menu.png: $(identify -format '%wx%h' "$out"/graph-menu.png)"
xdotool key Escape
stop

# The loader (shown for 1.5 s), then the full edition after one run in debug
# mode; the statistics panel opens at the end since Check1 is on at load.
"$bin" -Debug &
pid=$!
loader="$(find_window '^Form2$')"
sleep 0.7
shoot "$loader" "$out"/loader.png
win="$(find_window '^Модель Катастроф$')"
sleep 0.5
click "$win" 570 120 # Check4 "Режим отладки"
click "$win" 276 328 # StartCount "Рассчитать"
# The log window opens at (0,0) too; move it beside the main window.
log="$(find_window '^Form1$')"
xdotool windowmove "$log" 740 0
settle "$win"
# The finished run leaves the focus, with its text selected, in k2Input.
xdotool windowfocus --sync "$win" key End
shoot "$win" "$out"/full.png
shoot "$log" "$out"/log.png
stop

# The lab window, opened with Ctrl+F after a light run: the example of
# Euler's spiral, the same with the steps compared, and a disaster at the
# trough of α2·x + α1·y. Positions are those of the window at its opening
# size: the example choice at the top right, "Сравнить шаги" below the
# sliders.
"$bin" &
pid=$!
win="$(find_window '^Модель Катастроф$')"
sleep 0.5
click "$win" 276 344
settle "$win"
xdotool windowfocus --sync "$win" key ctrl+f
lab="$(find_window '^Фазовый портрет$')"
# It opens beside the main window, narrower; the clicks below are made at
# its full size.
xdotool windowmove "$lab" 0 0 windowsize "$lab" 1120 780
sleep 0.5
example() { # $1: how many items down from the one chosen
    xdotool mousemove --window "$lab" 950 20 click 1
    sleep 0.3
    i=0
    while [ "$i" -lt "$1" ]; do
        xdotool key Down
        i=$((i + 1))
    done
    xdotool key Return
    xdotool mousemove 1270 790
    sleep 0.5
}
example 1
shoot "$lab" "$out"/lab.png
click "$lab" 918 410 # CompareSteps "Сравнить шаги"
sleep 0.5
shoot "$lab" "$out"/lab-compare.png
click "$lab" 918 410
example 2
shoot "$lab" "$out"/lab-disaster.png
# The same disaster's risk of extinction at the defaults: 1000 runs at
# Ω = 100 take a minute or more on two CPUs.
click "$lab" 918 499 # RiskOpen "Риск вымирания…"
risk="$(find_window '^Риск вымирания$')"
xdotool windowmove "$risk" 0 0
sleep 0.5
click "$risk" 193 108 # CountRisk "Считать"
sleep 5
settle "$risk" 600
shoot "$risk" "$out"/risk.png
stop

# The lab as it opens after a light run: beside the main window, which stays
# in view (the whole screen), with its key. Says where both are.
"$bin" &
pid=$!
win="$(find_window '^Модель Катастроф$')"
sleep 0.5
click "$win" 276 344
settle "$win"
xdotool windowfocus --sync "$win" key ctrl+f
lab="$(find_window '^Фазовый портрет$')"
sleep 1
for w in "$win" "$lab"; do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    echo "window $w: ${WIDTH}x${HEIGHT}+${X}+${Y}"
done
xdotool windowfocus --sync "$root"
sleep 0.5
import -window root -strip "$out"/lab-beside.png
echo "$out/lab-beside.png: $(identify -format '%wx%h' "$out"/lab-beside.png)"
# Then the graph saved from its menu (the first item), and the note that
# says so, near the graph.
xdotool mousemove --window "$win" 300 110 click 3
sleep 0.5
xdotool key Down Return
dialog="$(find_window '^Сохранить график$')"
sleep 0.5
saved="$(mktemp -d)"
xdotool windowfocus --sync "$dialog" key ctrl+a type "$saved/график.png"
xdotool key Return
sleep 0.7
# The note is a window of its own, as the menu is: cut from the screen.
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip "$out"/saved-note.png
echo "$out/saved-note.png: $(identify -format '%wx%h' "$out"/saved-note.png) ($(ls "$saved"))"
rm -rf "$saved"
stop

# As on a projector: Qt's own scale factor, 1.5, the light window after a
# run and the lab it opens.
QT_SCALE_FACTOR=1.5 "$bin" &
pid=$!
win="$(find_window '^Модель Катастроф$')"
sleep 0.5
click "$win" 414 516 # "Рассчитать", at 1.5 times its place
settle "$win"
shoot "$win" "$out"/light-1.5.png
xdotool windowfocus --sync "$win" key ctrl+f
lab="$(find_window '^Фазовый портрет$')"
xdotool windowmove "$lab" 0 0
sleep 1
shoot "$lab" "$out"/lab-1.5.png
stop
