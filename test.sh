#!/usr/bin/env bash
# Installs what is missing, builds, starts a private Firebird server and runs every test against it;
# ends with CTest's summary and exit code. Options are passed to CMake's configure step.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

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
