#!/usr/bin/env bash
# The real panel under Xvfb, on a private session bus with Qt's accessibility bridge always on;
# a preloaded operator connects it to a throwaway demo database, and accessibility_bus_read.py
# reads it as a screen reader would. Every wait is bounded; nothing outlives the test.
#   accessibility_bus_test.sh PROGRAM OPERATOR_SHIM CREATE_DATABASE READER_SCRIPT
set -u
if [ "${1:-}" = --inside ]; then
    # On the private session bus: the panel, then the reader.
    shift
    program=$1 shim=$2 database=$3 reader=$4 work=$5
    # As a desktop session does at login: the accessibility bus is up before the program starts.
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null || { echo "FAIL: the accessibility bus did not start"; exit 1; }
    QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache \
        ASAN_OPTIONS=${ASAN_OPTIONS:-}:verify_asan_link_order=0 LD_PRELOAD="$shim" \
        VELKOR_OPERATOR_DATABASE=$database VELKOR_OPERATOR_USER=SYSDBA \
        VELKOR_OPERATOR_PASSWORD= VELKOR_OPERATOR_TICK_MS=500 \
        "$program" >"$work/panel.out" 2>&1 &
    panel=$!
    waited=0
    until grep -q '^ready$' "$work/panel.out"; do
        if ! kill -0 "$panel" 2>/dev/null || [ "$waited" -ge 600 ]; then
            echo "FAIL: the panel did not connect; it said:"
            cat "$work/panel.out"
            kill -KILL "$panel" 2>/dev/null
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    timeout -k 5 150 /usr/bin/python3 "$reader" 60
    code=$?
    if ! kill -0 "$panel" 2>/dev/null; then
        echo "FAIL: the panel ended while it was read; it said:"
        cat "$work/panel.out"
        code=1
    fi
    kill -TERM "$panel" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$panel" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$panel" 2>/dev/null
    if grep -q '^error box' "$work/panel.out"; then
        echo "FAIL: the panel showed an error box: $(grep '^error box' "$work/panel.out")"
        code=1
    fi
    exit "$code"
fi

program=$1 shim=$2 create_database=$3 reader=$4
for tool in Xvfb dbus-run-session dbus-send /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: no python3-pyatspi"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/velkor-a11y-bus.XXXXXX")
xvfb=
trap '[ -z "$xvfb" ] || kill -TERM "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT

"$create_database" "$work/demo.fdb" >/dev/null || { echo "FAIL: cannot make the database"; exit 1; }

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")

# The session bus goes with the command, and the accessibility bus it started with it.
timeout -k 5 240 dbus-run-session -- "$0" --inside "$program" "$shim" "$work/demo.fdb" \
    "$reader" "$work"
