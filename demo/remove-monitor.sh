#!/usr/bin/env bash
# Takes the monitor (remove-monitor.sql) out of a database; objects that are not the monitor's
# stay.
#   remove-monitor.sh DATABASE
# DATABASE and the login as for install-monitor.sh.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exec "$here/run-monitor-script.sh" remove-monitor.sh remove-monitor.sql "removed from" "$@"
