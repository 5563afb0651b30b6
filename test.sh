#!/usr/bin/env bash
# Installs what is missing, builds, starts a private Firebird server and runs every test against it;
# ends with CTest's summary and exit code.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build" RelWithDebInfo "$@"
"$top/scripts/fuzz.sh"
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
