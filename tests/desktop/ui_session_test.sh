#!/bin/sh
# kivoly ui on a (virtual) X server, used through real X input as a person uses it: Shift+F1
# shows the version box and Return closes it, Space captures from the simulated digitizer, a click opens the adjustment panel, the Color slider is
# dragged 30 pixels up with the mouse (+10), Go converts the picture again, and Save asks for a
# file name that is typed, Return included. The file must hold the adjusted capture: the same
# picture as `kivoly capture --simulate --color 10`, and not the one with Color 0.
#   ui_session_test.sh KIVOLY [SCREENSHOT_FOLDER]
# Exits 77 (skipped) when no X server or no xdotool is there. Screenshots of every step go to
# SCREENSHOT_FOLDER when given.
set -u
kivoly=$1
shots=${2:-}
command -v xdotool >/dev/null 2>&1 || { echo "no xdotool: skipped"; exit 77; }
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "no X server: skipped"; exit 77; }
if "$kivoly" ui --help 2>&1 | grep -q "unknown command"; then
    echo "this kivoly has no ui command: skipped"
    exit 77
fi

work=$(mktemp -d)
ui=""
finish() {
    [ -n "$ui" ] && kill "$ui" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "ui session: $*" >&2
    shot failed
    [ -f "$work/ui.log" ] && sed 's/^/  kivoly ui: /' "$work/ui.log" >&2
    exit 1
}
# How many pixels of two pictures differ.
differing() {
    compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}
step=0
[ -n "$shots" ] && mkdir -p "$shots" && rm -f "$shots"/*.png
shot() {
    [ -n "$shots" ] || return 0
    step=$((step + 1))
    mkdir -p "$shots" && import -window root "$shots/$step-$1.png" 2>/dev/null
}
# Waits up to $2 (default 20) seconds for a visible window named $1 and prints its id.
window_named() {
    for _ in $(seq $((${2:-20} * 5))); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}
# Screen position of the main window's client point ($1, $2).
at() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    echo "$((X + $1)) $((Y + $2))"
}
# Waits (up to 60 s) until the screen stops changing for a second.
wait_still() {
    for _ in $(seq 60); do
        import -window root "$work/before.png" 2>/dev/null
        sleep 1
        import -window root "$work/after.png" 2>/dev/null
        [ "$(differing "$work/before.png" "$work/after.png")" = 0 ] && return 0
    done
    fail "the screen never stops changing"
}
# A conversion shows the picture growing in the full-screen picture window, which then waits
# for a key (a key while it grows asks whether to abort): wait up to 10 s for the window, let
# the picture finish, then close it as a person would.
# A slow machine may still be converting: the question whether to abort is answered No.
dismiss_picture() {
    window_named "^Kivoly Kivoshot\$" 10 >/dev/null || return 0
    for _ in $(seq 5); do
        wait_still
        xdotool key Escape
        sleep 1
        if window_named "^Abort Requested\$" 1 >/dev/null; then
            xdotool key Return
            continue
        fi
        for _ in $(seq 50); do
            xdotool search --onlyvisible --name "^Kivoly Kivoshot\$" >/dev/null 2>&1 || return 0
            sleep 0.2
        done
    done
    fail "the picture window does not close"
}
click() {
    # shellcheck disable=SC2046
    xdotool mousemove --sync $(at "$1" "$2") click 1
    sleep 0.5
}

export KIVOLY_HOME="$work/home"
mkdir -p "$KIVOLY_HOME"
cd "$work" || exit 1
"$kivoly" ui --simulate >"$work/ui.log" 2>&1 &
ui=$!
main=$(window_named "Kivoly Video Kivoshot") || fail "the main window does not appear"
shot started

# Keys go to the window under the pointer (there is no window manager to give the focus).
click 300 100
# An accelerator with a modifier: Shift+F1 shows the version box, Return closes it.
xdotool key shift+F1
window_named "Kivoly Video Digitizer Library" 10 >/dev/null || fail "Shift+F1 shows no version box"
shot version
xdotool key Return
sleep 0.5
xdotool key space
dismiss_picture
shot captured

click 233 227 # Adjust
shot adjust
# The Color slider sits at 0 with its drag centre at (53, 136): 30 pixels up is +10.
# shellcheck disable=SC2046
xdotool mousemove --sync $(at 53 136) mousedown 1
sleep 0.3
# shellcheck disable=SC2046
xdotool mousemove --sync $(at 53 106)
sleep 0.3
xdotool mouseup 1
sleep 0.5
shot dragged
click 488 189 # Go
dismiss_picture
shot converted

click 321 227 # Save
dialog=$(window_named "Save As") || fail "no save dialog"
shot dialog
xdotool type --delay 30 "adjusted.png"
xdotool key Return
for _ in $(seq 50); do
    [ -s adjusted.png ] && break
    sleep 0.2
done
shot saved
[ -s adjusted.png ] || fail "nothing was saved"
kill "$ui" 2>/dev/null
wait "$ui" 2>/dev/null
ui=""

# The same capture through the command line, with and without the adjustment.
"$kivoly" capture --simulate --color 10 -o with_color.png >/dev/null 2>&1 || fail "capture --color 10"
"$kivoly" capture --simulate -o plain.png >/dev/null 2>&1 || fail "capture"
[ "$(differing adjusted.png with_color.png)" = 0 ] ||
    fail "the saved picture is not the capture with Color 10 ($(differing adjusted.png with_color.png) pixels differ)"
[ "$(differing adjusted.png plain.png)" != 0 ] || fail "the slider changed nothing"
echo "ok"
