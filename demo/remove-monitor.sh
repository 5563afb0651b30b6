#!/usr/bin/env bash
# Takes the monitor (remove-monitor.sql) out of a database; objects that are not the monitor's
# stay.
#   remove-monitor.sh DATABASE
# DATABASE and the login as for install-monitor.sh.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ $# -ne 1 ] || [ -z "$1" ]; then
    echo "usage: remove-monitor.sh DATABASE" >&2
    exit 2
fi
export ISC_USER=${ISC_USER:-SYSDBA}
isql-fb -q -b -ch UTF8 -i "$here/remove-monitor.sql" "$1" </dev/null || {
    echo "remove-monitor.sh: the monitor was not removed from $1" >&2
    exit 1
}
