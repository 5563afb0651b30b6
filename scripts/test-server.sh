#!/usr/bin/env bash
# A private Firebird 3 server for the tests, apart from any system one.
#   test-server.sh start DIR     lay out DIR, start on a free loopback port, write DIR/server.env
#   test-server.sh stop DIR      SIGTERM, then SIGKILL after a bounded wait
#   test-server.sh kill DIR      SIGKILL, as if the server died
#   test-server.sh restart DIR   start again with the same port and configuration
set -euo pipefail

server_binary=${VELKOR_FIREBIRD_SERVER:-/usr/sbin/firebird}
isql=${VELKOR_ISQL:-isql-fb}
dist=/usr/lib/x86_64-linux-gnu/firebird/3.0
password=velkortest
start_timeout=30
stop_timeout=15

die() { echo "test-server: $*" >&2; exit 1; }

usage() { die "usage: $0 start|stop|kill|restart DIR"; }

[ $# -eq 2 ] || usage
command=$1
dir=$2

find_dist() {
    if [ ! -d "$dist/plugins" ]; then
        local engine
        engine=$(find /usr/lib -path '*firebird/3.0/plugins/libEngine12.so' -print -quit 2>/dev/null || true)
        [ -n "$engine" ] || die "cannot find the Firebird 3 plugins (libEngine12.so); is firebird3.0-server installed?"
        dist=$(dirname "$(dirname "$engine")")
    fi
    [ -x "$server_binary" ] || die "no server binary at $server_binary"
    command -v "$isql" >/dev/null || die "no $isql; is firebird3.0-utils installed?"
}

port_in_use() {
    # Anything listening on the port on any address counts, so the system server's 3050 is never picked.
    ss -Htln "sport = :$1" | grep -q .
}

pick_port() {
    local port
    for _ in $(seq 1 50); do
        port=$((20000 + RANDOM % 40000))
        port_in_use "$port" || { echo "$port"; return 0; }
    done
    die "no free TCP port found"
}

# Every process that touches the private root needs these; the lock folder keeps its shared memory
# apart from the system server's /tmp/firebird.
private_env() {
    export FIREBIRD=$root FIREBIRD_LOCK=$root/lock FIREBIRD_TMP=$root/tmp
}

write_config() {
    cat >"$root/firebird.conf" <<EOF
# Private test server: loopback only, own port, own security database.
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
RemoteAuxPort = 0
RemoteAccess = true
DatabaseAccess = Full
SecurityDatabase = $root/security3.fdb
AuthServer = Srp
AuthClient = Srp, Legacy_Auth
UserManager = Srp
WireCrypt = Enabled
ServerMode = Super
TempDirectories = $root/tmp
DefaultDbCachePages = 256
UdfAccess = None
EOF
    cat >"$root/databases.conf" <<EOF
security.db = $root/security3.fdb
EOF
}

lay_out() {
    find_dist
    root=$(mkdir -p "$dir/root" && cd "$dir/root" && pwd)
    mkdir -p "$root/lock" "$root/tmp"
    local item
    # The engine, character sets and messages come from the distribution unchanged.
    for item in plugins UDF firebird.msg; do
        [ -e "$dist/$item" ] && ln -sfn "$dist/$item" "$root/$item"
    done
    # The character sets are copied: the engine refuses an intl module reached through a link,
    # and every connection of the panel needs WIN1251.
    rm -rf "$root/intl"
    mkdir -p "$root/intl"
    cp -L "$dist"/intl/* "$root/intl/"
    for item in plugins.conf fbtrace.conf; do
        [ -e "$dist/$item" ] && cp -L "$dist/$item" "$root/$item"
    done
    [ -f "$root/intl/fbintl.conf" ] || die "no fbintl.conf under $dist/intl"
    write_config
    private_env
    rm -f "$root/security3.fdb"
    # Embedded (no server yet): a fresh security database, the Srp plugin adds its table on first use.
    local output
    if ! output=$("$isql" -q -user SYSDBA 2>&1 <<EOF
create database '$root/security3.fdb';
create user SYSDBA password '$password' using plugin Srp;
commit;
EOF
    ); then
        die "cannot create the security database: $output"
    fi
    [ -z "$output" ] || die "creating the security database said: $output"
}

read_env() {
    [ -f "$dir/server.env" ] || die "no $dir/server.env; was the server started?"
    # shellcheck disable=SC1091
    . "$dir/server.env"
    root=$VELKOR_TEST_SERVER_ROOT
    port=$VELKOR_TEST_SERVER_PORT
    pid=$VELKOR_TEST_SERVER_PID
}

running() {
    [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null
}

# The PID in server.env may have been given to another process since (after a reboot, say):
# it is ours only while it runs our server binary with our root folder.
ours() {
    local pid=${1:-} exe
    running "$pid" || return 1
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || return 1
    exe=${exe% (deleted)}
    [ "$exe" = "$(readlink -f "$server_binary")" ] || return 1
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "FIREBIRD=$root"
}

accepts() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

launch() {
    private_env
    port_in_use "$port" && die "port $port is already in use"
    rm -f "$root/lock/"* 2>/dev/null || true
    local log=$dir/server.log
    # Run directly, not under fbguard, so the pid is the server's and kill really kills it.
    setsid "$server_binary" >>"$log" 2>&1 </dev/null &
    pid=$!
    cat >"$dir/server.env" <<EOF
VELKOR_TEST_SERVER_HOST=localhost
VELKOR_TEST_SERVER_PORT=$port
VELKOR_TEST_SERVER_USER=SYSDBA
VELKOR_TEST_SERVER_PASSWORD=$password
VELKOR_TEST_SERVER_PID=$pid
VELKOR_TEST_SERVER_ROOT=$root
EOF
    local waited=0
    until accepts "$port"; do
        if ! running "$pid"; then
            echo "test-server: the server (pid $pid) exited before listening on 127.0.0.1:$port; $log says:" >&2
            tail -n 20 "$log" >&2 2>/dev/null || true
            # The server writes its own errors to the distribution's log, which no setting moves.
            echo "test-server: the shared Firebird log ends:" >&2
            tail -n 8 /var/log/firebird/firebird3.0.log >&2 2>/dev/null || true
            return 1
        fi
        if [ "$waited" -ge $((start_timeout * 10)) ]; then
            kill -KILL "$pid" 2>/dev/null || true
            die "the server did not accept connections on 127.0.0.1:$port within ${start_timeout}s; $log says: $(tail -n 20 "$log" 2>/dev/null)"
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    # Someone else may have taken the port between the check and the bind.
    if ss -Htlnp "sport = :$port" | grep -q 'pid=' && ! ss -Htlnp "sport = :$port" | grep -q "pid=$pid,"; then
        echo "test-server: port $port answers, but not from pid $pid" >&2
        kill -KILL "$pid" 2>/dev/null || true
        return 1
    fi
    echo "test server pid $pid listening on 127.0.0.1:$port (user $(ps -o user= -p "$pid"))"
}

stop_server() {
    read_env
    ours "$pid" || { echo "test server pid $pid is not running"; return 0; }
    kill -TERM "$pid" 2>/dev/null || true
    local waited=0
    while running "$pid" && [ "$waited" -lt $((stop_timeout * 10)) ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if running "$pid"; then
        echo "test server pid $pid ignored SIGTERM for ${stop_timeout}s; killing it" >&2
        kill -KILL "$pid" 2>/dev/null || true
    fi
    wait_gone
    echo "test server pid $pid stopped"
}

wait_gone() {
    local waited=0
    while running "$pid" && [ "$waited" -lt 50 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    running "$pid" && die "pid $pid is still alive"
    # A child of an exited parent may still hold the socket for a moment.
    waited=0
    while port_in_use "$port" && [ "$waited" -lt 50 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    port_in_use "$port" && die "port $port is still open after the server stopped"
    return 0
}

case $command in
    start)
        if [ -f "$dir/server.env" ]; then
            read_env
            ours "$pid" && die "a test server (pid $pid) is already running from $dir"
        fi
        mkdir -p "$dir"
        dir=$(cd "$dir" && pwd)
        for attempt in 1 2 3; do
            port=$(pick_port)
            lay_out
            launch && exit 0
            echo "test-server: start attempt $attempt on port $port failed" >&2
        done
        die "could not start the test server in $dir"
        ;;
    stop)
        stop_server
        ;;
    kill)
        read_env
        if ! ours "$pid"; then
            echo "test server pid $pid is not running"
            exit 0
        fi
        kill -KILL "$pid"
        wait_gone
        echo "test server pid $pid killed"
        ;;
    restart)
        read_env
        ours "$pid" && die "the test server (pid $pid) is still running"
        dir=$(cd "$dir" && pwd)
        launch || die "could not restart the test server on port $port"
        ;;
    *)
        usage
        ;;
esac
