#!/usr/bin/env bash
# Installs what is missing, builds, starts a private Firebird server and runs every test against it;
# ends with CTest's summary and exit code. Options are passed to CMake's configure step.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
started=$SECONDS

# Two runs in one checkout would stop each other's server and build into the same folder.
mkdir -p "$top/build"
exec 9>"$top/build/test.lock"
if ! flock -n 9; then
    echo "test.sh: another ./test.sh is running in $top; waiting for it"
    flock 9
fi

"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build" RelWithDebInfo "$@"
"$top/scripts/fuzz.sh"
export QT_QPA_PLATFORM=offscreen

server_dir=$top/build/test-server
server=$top/scripts/test-server.sh
# The server, and whatever the tests start, get no copy of the lock (9>&-): a server left behind
# by a killed run must not block every later run. Such a run may have left its server behind:
if [ -f "$server_dir/server.env" ]; then
    "$server" stop "$server_dir" >/dev/null 9>&-
fi
# Quiet on success so CTest's summary stays the last thing printed.
trap '[ ! -f "$server_dir/server.env" ] || "$server" stop "$server_dir" >/dev/null 9>&-' EXIT
if ! "$server" start "$server_dir" 9>&-; then
    echo "test.sh: the private Firebird test server did not start; not running the tests" >&2
    exit 1
fi
set -a
# shellcheck disable=SC1091
. "$server_dir/server.env"
set +a
export VELKOR_TEST_SERVER_DIR=$server_dir

cd "$top/build"
ctest --output-on-failure -j 2 9>&-

# Once more under AddressSanitizer and UndefinedBehaviorSanitizer: the database and main-window
# tests (labels database and main_window), built in build-asan. From a clean clone on 2 shared
# cores it doubled the run, 6 minutes more (build 4, tests 1.5), so it runs only while the whole
# run stays well inside 40: when the run so far took at most VELKOR_SANITIZER_BUDGET seconds
# (default 1200).
# VELKOR_SANITIZER_PASS=off leaves it out, =on runs it whatever the time.
pass=${VELKOR_SANITIZER_PASS:-auto}
budget=${VELKOR_SANITIZER_BUDGET:-1200}
if [ "$pass" = off ] || { [ "$pass" = auto ] && [ $((SECONDS - started)) -gt "$budget" ]; }; then
    echo "test.sh: sanitizer pass left out (VELKOR_SANITIZER_PASS=$pass, $((SECONDS - started)) s so far)"
    exit 0
fi
asan=$top/build-asan
generator=()
grep -q '^CMAKE_GENERATOR:INTERNAL=' "$asan/CMakeCache.txt" 2>/dev/null || generator=(-G Ninja)
cmake -S "$top" -B "$asan" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELKOR_SANITIZE=ON -DVELKOR_BENCH=OFF >/dev/null
# The programs behind the tests of those labels, as the main build's CTest lists them.
labels='database|main_window'
mapfile -t targets < <(ctest --test-dir "$top/build" -N -L "$labels" --show-only=json-v1 |
    python3 -c 'import json, os, sys
print("\n".join(sorted({os.path.basename(t["command"][0])
                         for t in json.load(sys.stdin)["tests"] if "command" in t})))')
cmake --build "$asan" -j "$(nproc)" --target "${targets[@]}"
echo "test.sh: the database and main-window tests once more, under the sanitizers"
cd "$asan"
# Leaks are looked for without scanning thread-local storage (tests/sanitizers/lsan.supp says why).
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
    LSAN_OPTIONS=${LSAN_OPTIONS:-use_tls=0:suppressions=$top/tests/sanitizers/lsan.supp} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    ctest --output-on-failure -j 2 -L "$labels" 9>&-
