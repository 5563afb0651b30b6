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
# Made under a temporary name and renamed into place: an interrupted run leaves no half-made
# database at PATH that would be taken for a finished one ever after.
partial=$(mktemp "$(dirname "$path")/.$(basename "$path").XXXXXX")
trap 'rm -f "$partial"' EXIT
trap 'exit 1' INT TERM HUP
rm -f "$partial" # the engine makes the file itself and refuses one that exists
quoted=${partial//\'/\'\'}
{
    echo "SET SQL DIALECT 1;"
    echo "CREATE DATABASE '$quoted' USER 'SYSDBA' DEFAULT CHARACTER SET WIN1251;"
    cat "$here/schema.sql"
    if [ "$with_samples" = 1 ]; then cat "$here/sample-data.sql"; fi
} | ISC_USER=SYSDBA isql-fb -q -b -ch UTF8 -sqldialect 1 >/dev/null || {
    echo "create-database.sh: could not create $path" >&2
    exit 1
}
mv -T "$partial" "$path"
trap - EXIT
