#!/usr/bin/env bash
# Installs what is missing, builds, starts a private Firebird server and runs every test against it;
# ends with CTest's summary and exit code.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build" RelWithDebInfo "$@"
# The registry file parser under libFuzzer for a bounded time, where clang is there.
if command -v clang++ >/dev/null; then
    if [ ! -f "$top/build-fuzz/CMakeCache.txt" ]; then
        CC=clang CXX=clang++ cmake -S "$top" -B "$top/build-fuzz" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_FUZZ=ON -DBUILD_TESTING=OFF \
            -DVELKOR_BENCH=OFF >/dev/null
    fi
    cmake --build "$top/build-fuzz" --target registry_text_fuzzer >/dev/null
    mkdir -p "$top/build-fuzz/registry-corpus"
    log="$top/build-fuzz/registry-fuzz.log"
    if ! "$top/build-fuzz/ui/registry/registry_text_fuzzer" -max_total_time=20 \
        -artifact_prefix="$top/build-fuzz/" "$top/build-fuzz/registry-corpus" \
        "$top/tests/fuzz/registry" >"$log" 2>&1; then
        cat "$log"
        exit 1
    fi
    echo "registry_text_fuzzer: $(tail -n 1 "$log")"
fi
export QT_QPA_PLATFORM=offscreen

server_dir=$top/build/test-server
server=$top/scripts/test-server.sh
# A run that was cut short may have left its server behind.
if [ -f "$server_dir/server.env" ]; then
    "$server" stop "$server_dir" >/dev/null
fi
# Quiet on success so CTest's summary stays the last thing printed.
trap '[ ! -f "$server_dir/server.env" ] || "$server" stop "$server_dir" >/dev/null' EXIT
if ! "$server" start "$server_dir"; then
    echo "test.sh: the private Firebird test server did not start; not running the tests" >&2
    exit 1
fi
set -a
# shellcheck disable=SC1091
. "$server_dir/server.env"
set +a
export VELKOR_TEST_SERVER_DIR=$server_dir

cd "$top/build"
ctest --output-on-failure -j 2
