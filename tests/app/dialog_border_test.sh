#!/usr/bin/env bash
# Runs the dialog border test (the program given) on a private X display that openbox manages,
# as on an operator's desktop.
set -euo pipefail
program=$1
fd_file=$(mktemp)
xvfb= wm=
cleanup() {
    [ -z "$wm" ] || kill "$wm" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -f "$fd_file"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
[ -s "$fd_file" ] || { echo "dialog_border_test: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$fd_file")
openbox >/dev/null 2>&1 &
wm=$!
# openbox says it manages the screen by naming its check window on the root.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
QT_QPA_PLATFORM=xcb "$program"
