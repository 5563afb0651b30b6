#!/usr/bin/env bash
# velkor-registry from the shell: offer-path stores only the first path, and every command
# does what its usage says. Runs against a registry folder of its own.
set -euo pipefail
tool=$1
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
panel='/SOFTWARE/Trelvan\ControlPanel'

"$tool" offer-path /data/first.fdb
"$tool" offer-path /data/second.fdb
[ "$("$tool" read "$panel" DatabasePathEdit_Text)" = /data/first.fdb ] || fail "offer-path replaced"
[ "$("$tool" list '\')" = '/SOFTWARE/Trelvan\' ] || fail "root list"
[ "$("$tool" list /SOFTWARE/Trelvan)" = 'ControlPanel\' ] || fail "key list"

"$tool" write 'a/b\c' 'name with "quotes"' 'text with blanks'
[ "$("$tool" read 'a/b\c' 'name with "quotes"')" = 'text with blanks' ] || fail "write"
"$tool" write-dword 'a/b\c' number -7
[ "$("$tool" read 'a/b\c' number)" = -7 ] || fail "write-dword"
"$tool" delete-value 'a/b\c' number
if "$tool" read 'a/b\c' number 2>/dev/null; then fail "value still there"; fi
"$tool" delete-key 'a/b'
if "$tool" list 'a/b\c' 2>/dev/null; then fail "key still there"; fi
if "$tool" delete-key 'a/b' 2>/dev/null; then fail "deleted twice"; fi

set +e
"$tool" bogus >/dev/null 2>&1
[ $? -eq 2 ] || fail "usage exit code"
set -e
[ "$(stat -c %a "$XDG_CONFIG_HOME/velkor/registry.txt")" = 600 ] || fail "file mode"

# With the path stored by the dialog already, offer-path leaves it alone.
"$tool" write "$panel" DatabasePathEdit_Text 'typed:/path.fdb'
"$tool" offer-path /data/third.fdb
[ "$("$tool" read "$panel" DatabasePathEdit_Text)" = typed:/path.fdb ] || fail "offer-path over typed"
echo "velkor-registry: all passed"
