#!/usr/bin/env bash
# Creates a database with the panel's schema at PATH (a local file: the embedded engine makes it).
#   create-database.sh PATH [--empty]
# --empty leaves out the sample processes (tests bring their own rows).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
path=${1:?usage: create-database.sh PATH [--empty]}
with_samples=1
[ "${2:-}" = "--empty" ] && with_samples=0
if [ -e "$path" ]; then
    echo "create-database.sh: $path exists already" >&2
    exit 1
fi
mkdir -p "$(dirname "$path")"
quoted=${path//\'/\'\'}
{
    echo "SET SQL DIALECT 1;"
    echo "CREATE DATABASE '$quoted' USER 'SYSDBA' DEFAULT CHARACTER SET WIN1251;"
    cat "$here/schema.sql"
    if [ "$with_samples" = 1 ]; then cat "$here/sample-data.sql"; fi
} | ISC_USER=SYSDBA isql-fb -q -b -ch UTF8 -sqldialect 1 >/dev/null || {
    rm -f "$path"
    echo "create-database.sh: could not create $path" >&2
    exit 1
}
