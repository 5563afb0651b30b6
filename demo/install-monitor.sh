#!/usr/bin/env bash
# Installs the monitor (monitor.sql) into an existing database, or brings an installed copy up to
# date; the priorities set stay.
#   install-monitor.sh DATABASE
# DATABASE as the client library takes it: host:/path/db.fdb, host/port:/path/db.fdb or a local
# /path/db.fdb. The login comes from ISC_USER (SYSDBA when unset) and ISC_PASSWORD.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ $# -ne 1 ] || [ -z "$1" ]; then
    echo "usage: install-monitor.sh DATABASE" >&2
    exit 2
fi
export ISC_USER=${ISC_USER:-SYSDBA}
# -b stops at the first error and says which; the script is safe to run again after a fix.
isql-fb -q -b -ch UTF8 -i "$here/monitor.sql" "$1" </dev/null || {
    echo "install-monitor.sh: the monitor was not installed into $1" >&2
    exit 1
}
