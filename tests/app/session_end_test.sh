#!/usr/bin/env bash
# The session ends under a connected panel: SIGTERM, SIGINT and SIGHUP each close it as its close
# box does, also with a modal dialog up (About). A Stop Procedure made before the signal is committed (the transaction's default
# action), and the program exits with 0 within a second. A kill -9 in the same place loses it,
# which shows that the check can tell the two apart.
#   session_end_test.sh PROGRAM OPERATOR_SHIM CREATE_DATABASE
set -u
program=$1 shim=$2 create_database=$3
isql=${VELKOR_ISQL:-isql-fb}
work=$(mktemp -d "${TMPDIR:-/tmp}/velkor-session-end.XXXXXX")
panel=
trap '[ -z "$panel" ] || kill -KILL "$panel" 2>/dev/null; rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# A database whose STOP_PROC works inside the caller's transaction, as a plain update would:
# its effect is kept only if the panel's transaction commits.
make_database() {
    local path=$1
    "$create_database" "$path" >/dev/null || return 1
    "$isql" -q -b -user SYSDBA "$path" >/dev/null <<'SQL'
SET TERM ^ ;
ALTER PROCEDURE STOP_PROC (PROC_ID INTEGER) RETURNS (RESULT INTEGER) AS
BEGIN
    UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP
        WHERE PROC_ID = :PROC_ID AND STOPPED_AT IS NULL;
    RESULT = ROW_COUNT;
END^
SET TERM ; ^
COMMIT;
SQL
}

stopped_count() {
    local path=$1 user=$2 password=$3
    local login=(-user "$user")
    [ -z "$password" ] || login+=(-password "$password")
    "$isql" -q -b "${login[@]}" "$path" 2>&1 <<'SQL' | tr -d ' \n'
SET HEADING OFF;
SELECT COUNT(*) FROM VELKOR_PROCESS WHERE PROC_ID = 1 AND STOPPED_AT IS NOT NULL;
SQL
}

# run NAME SIGNAL DATABASE_TEXT FILE USER PASSWORD EXPECTED_STOPPED [ABOUT]
run() {
    local name=$1 signal=$2 database=$3 file=$4 user=$5 password=$6 expected=$7 about=${8:-0}
    local out=$work/$name.out
    QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache \
        ASAN_OPTIONS=${ASAN_OPTIONS:-}:verify_asan_link_order=0 LD_PRELOAD="$shim" \
        VELKOR_OPERATOR_DATABASE=$database VELKOR_OPERATOR_USER=$user \
        VELKOR_OPERATOR_PASSWORD=$password VELKOR_OPERATOR_STOP=1 VELKOR_OPERATOR_ABOUT=$about \
        "$program" >"$out" 2>&1 &
    panel=$!
    local waited=0
    until grep -q '^ready$' "$out"; do
        if ! kill -0 "$panel" 2>/dev/null || [ "$waited" -ge 300 ]; then
            fail "$name: the panel did not connect; it said: $(cat "$out")"
            kill -KILL "$panel" 2>/dev/null
            panel=
            return
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    if grep -q '^error box' "$out"; then
        fail "$name: an error box before the signal: $(grep '^error box' "$out")"
    fi
    local start end code
    start=$(now_ms)
    kill "-$signal" "$panel"
    # The panel may not outlive a few seconds whatever happens; the limit is checked below.
    waited=0
    while kill -0 "$panel" 2>/dev/null && [ "$waited" -lt 100 ]; do
        sleep 0.02
        waited=$((waited + 1))
    done
    end=$(now_ms)
    if kill -0 "$panel" 2>/dev/null; then
        fail "$name: still running $((end - start)) ms after SIG$signal"
        kill -KILL "$panel" 2>/dev/null
    fi
    { wait "$panel"; } 2>/dev/null
    code=$?
    panel=
    local stopped
    stopped=$(stopped_count "$file" "$user" "$password")
    echo "$name: SIG$signal -> exit code $code after $((end - start)) ms; stopped procedure committed: $stopped"
    if [ "$signal" != KILL ]; then
        [ "$code" -eq 0 ] || fail "$name: exit code $code, expected 0; output: $(cat "$out")"
        [ $((end - start)) -le 1000 ] || fail "$name: took $((end - start)) ms to end, more than 1 s"
    fi
    [ "$stopped" = "$expected" ] || fail "$name: committed stops $stopped, expected $expected"
}

embedded=$work/embedded.fdb
make_database "$embedded" || { echo "FAIL: cannot make $embedded"; exit 1; }
run embedded TERM "$embedded" "$embedded" SYSDBA "" 1

if [ -n "${VELKOR_TEST_SERVER_PORT:-}" ]; then
    remote() { echo "${VELKOR_TEST_SERVER_HOST:-localhost}/$VELKOR_TEST_SERVER_PORT:$1"; }
    user=${VELKOR_TEST_SERVER_USER:-SYSDBA} password=$VELKOR_TEST_SERVER_PASSWORD
    for signal in TERM INT HUP KILL; do
        file=$work/server-$signal.fdb
        make_database "$file" || { fail "cannot make $file"; continue; }
        expected=1
        [ "$signal" = KILL ] && expected=0
        run "server-$signal" "$signal" "$(remote "$file")" "$(remote "$file")" "$user" "$password" \
            "$expected"
    done
    file=$work/server-about.fdb
    if make_database "$file"; then
        run server-TERM-about TERM "$(remote "$file")" "$(remote "$file")" "$user" "$password" 1 1
    else
        fail "cannot make $file"
    fi
else
    echo "no test server (run ./test.sh): only the embedded engine was tried"
fi
[ "$failures" -eq 0 ]
