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

folder=$XDG_CONFIG_HOME/velkor
file=$folder/registry.txt
# Every file of the folder with its contents and times: what "nothing changed" means.
state() { (cd "$folder" && find . -printf '%p %y %m %s %T@\n' | sort && cat ./* 2>/dev/null | sha256sum); }
expect_failure() { # expect_failure PATTERN COMMAND...: exits non-zero, says PATTERN
    local pattern=$1 out
    shift
    if out=$("$tool" "$@" 2>&1); then fail "$* succeeded: $out"; fi
    case $out in *"$pattern"*) ;; *) fail "$* said: $out" ;; esac
}

# A damaged store: list and read report it and change nothing; the first write keeps it aside.
printf 'velkor-registry 1\nkey "/SOFTWARE/Trelvan"\nvalue "x" dword 99999999999\nend\n' >"$file"
damaged=$(cat "$file")
before=$(state)
expect_failure "$file is damaged (Registry file line 3: bad dword)" list '\'
expect_failure "is damaged" list /SOFTWARE/Trelvan
expect_failure "is damaged" read "$panel" DatabasePathEdit_Text
expect_failure "is damaged" offer-path /data/fourth.fdb
[ "$(state)" = "$before" ] || fail "a read changed the damaged store"
out=$("$tool" write "$panel" DatabasePathEdit_Text 'after:/damage.fdb' 2>&1) || fail "write: $out"
kept=$(ls "$folder" | grep '^registry.txt.damaged-') || fail "nothing kept aside"
case $out in *"has been kept as $folder/$kept"*) ;; *) fail "write said: $out" ;; esac
[ "$(cat "$folder/$kept")" = "$damaged" ] || fail "kept copy differs"
[ "$("$tool" read "$panel" DatabasePathEdit_Text)" = after:/damage.fdb ] || fail "write after damage"
[ "$("$tool" list '\')" = '/SOFTWARE/Trelvan\' ] || fail "fresh store"
rm "$folder/$kept"

# A file that cannot be read (a directory in its place) is an error, not damage: nothing moves.
mv "$file" "$file.good"
mkdir "$file"
expect_failure "Cannot read $file: Is a directory" read "$panel" DatabasePathEdit_Text
expect_failure "Is a directory" write "$panel" DatabasePathEdit_Text lost
[ -d "$file" ] || fail "the directory went"
if ls "$folder" | grep -q damaged; then fail "moved aside"; fi
rmdir "$file"
mv "$file.good" "$file"

# Key paths past the bounds are refused with their reason; the file stays as it was.
deep=$(printf 'k\\%.0s' $(seq 64))k
before=$(cat "$file")
expect_failure "Key path too deep: more than 64 levels" write "$deep" v x
expect_failure "Key name too long: 256 bytes, at most 255" write "$(printf 'n%.0s' $(seq 256))" v x
expect_failure "Key path too deep" list "$deep"
[ "$(cat "$file")" = "$before" ] || fail "a refused key changed the file"
deepest=${deep%\\k}
"$tool" write "$deepest" v bottom
[ "$("$tool" read "$deepest" v)" = bottom ] || fail "64 levels"
"$tool" delete-key k
[ "$(cat "$file")" = "$before" ] || fail "64 levels did not go"
echo "velkor-registry: all passed"
