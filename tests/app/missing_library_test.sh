#!/usr/bin/env bash
# The program without its client library: the error box names the library, the exit code is 1.
set -u
program=$1 shim=$2
output=$(QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD="$shim" \
    timeout 60 "$program" 2>&1)
code=$?
expected="error box [Velkor control panel] buttons=1024: InterBase library gds32.dll not found in the path. Please install InterBase to use this functionality."
if [ "$code" -ne 1 ]; then
    echo "exit code $code, expected 1; output:"; echo "$output"; exit 1
fi
if ! grep -qxF "$expected" <<<"$output"; then
    echo "the error box did not show the library message; output:"; echo "$output"; exit 1
fi
echo "exit code 1 with the library message"
