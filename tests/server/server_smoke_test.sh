#!/usr/bin/env bash
# The private test server is up: a dialect 1 WIN1251 database can be made and dropped over TCP,
# and a wrong password gets the server's refusal.
set -u
if [ -z "${VELKOR_TEST_SERVER_PORT:-}" ]; then
    echo "VELKOR_TEST_SERVER_PORT is unset; run ./test.sh to get a test server"
    exit 77
fi
isql=${VELKOR_ISQL:-isql-fb}
host=${VELKOR_TEST_SERVER_HOST:-localhost}
user=${VELKOR_TEST_SERVER_USER:-SYSDBA}
password=${VELKOR_TEST_SERVER_PASSWORD:?VELKOR_TEST_SERVER_PASSWORD is unset}
work=$(mktemp -d "${TMPDIR:-/tmp}/velkor-server-smoke.XXXXXX")
trap 'rm -rf "$work"' EXIT
database="$host/$VELKOR_TEST_SERVER_PORT:$work/smoke.fdb"

fail() { echo "FAIL: $*"; exit 1; }

output=$(timeout 60 "$isql" -q -b -user "$user" -password "$password" 2>&1 <<SQL
set sql dialect 1;
create database '$database' default character set WIN1251;
select 'dialect=' || mon\$sql_dialect from mon\$database;
select 'charset=' || trim(rdb\$character_set_name) from rdb\$database;
select 'protocol=' || trim(mon\$remote_protocol) from mon\$attachments where mon\$attachment_id = current_connection;
commit;
SQL
)
code=$?
[ "$code" -eq 0 ] || fail "creating $database: exit code $code; $output"
for expected in dialect=1 charset=WIN1251 protocol=TCPv4; do
    grep -q "$expected" <<<"$output" || fail "expected $expected; got: $output"
done
[ -f "$work/smoke.fdb" ] || fail "the server did not write $work/smoke.fdb"
echo "created $database (dialect 1, WIN1251, over TCPv4)"

output=$(timeout 60 "$isql" -q -b -user "$user" -password "not-$password" "$database" 2>&1 </dev/null)
refusal="Your user name and password are not defined. Ask your database administrator to set up a Firebird login."
grep -qF "$refusal" <<<"$output" || fail "a wrong password was not refused as expected; got: $output"
echo "a wrong password is refused: $refusal"

output=$(timeout 60 "$isql" -q -b -user "$user" -password "$password" "$database" 2>&1 <<SQL
drop database;
SQL
)
code=$?
[ "$code" -eq 0 ] || fail "dropping $database: exit code $code; $output"
[ ! -e "$work/smoke.fdb" ] || fail "$work/smoke.fdb is still there after drop database"
echo "dropped it"
