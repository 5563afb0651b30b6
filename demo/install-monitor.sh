#!/usr/bin/env bash
# Installs the monitor (monitor.sql) into an existing database, or brings an installed copy up to
# date; the priorities set stay.
#   install-monitor.sh DATABASE
# DATABASE as the client library takes it: host:/path/db.fdb, host/port:/path/db.fdb or a local
# /path/db.fdb. The login comes from ISC_USER (SYSDBA when unset) and ISC_PASSWORD.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exec "$here/run-monitor-script.sh" install-monitor.sh monitor.sql "installed into" "$@"
