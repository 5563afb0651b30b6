#!/usr/bin/env bash
# Runs one of the monitor's isql scripts over a database; install-monitor.sh and
# remove-monitor.sh are its two uses.
#   run-monitor-script.sh NAME SCRIPT WHAT DATABASE
# NAME is the caller's name for its messages, WHAT says what failed ("installed into").
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
name=$1 script=$2 what=$3
shift 3
if [ $# -ne 1 ] || [ -z "$1" ]; then
    echo "usage: $name DATABASE" >&2
    exit 2
fi
export ISC_USER=${ISC_USER:-SYSDBA}
# -b stops at the first error and says which; the script is safe to run again after a fix.
isql-fb -q -b -ch UTF8 -i "$here/$script" "$1" </dev/null || {
    echo "$name: the monitor was not $what $1" >&2
    exit 1
}
