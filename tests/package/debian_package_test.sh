#!/usr/bin/env bash
# Builds the Debian package from this build folder, unpacks it and checks it as Debian and the
# desktop would: the files where they belong, the menu entry and metainfo valid and pointing at
# each other, the dependencies, and the unpacked panel starting to its main window and closing.
#   debian_package_test.sh CPACK_CONFIG VERSION APP_ID CLOSE_WHEN_SHOWN_SHIM
set -euo pipefail
config=$1 version=$2 app_id=$3 shim=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"; fail "cpack"; }
arch=$(dpkg --print-architecture)
deb=$work/out/velkor-control-panel_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velkor-control-panel ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "architecture $(field Architecture)"
depends=$(field Depends)
for needed in 'libfbclient2 (>= 3.0)' libqt6widgets6 libc6 libstdc++6; do
    grep -qF "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(field Recommends)" = firebird3.0-server-core ] || fail "Recommends $(field Recommends)"

root=$work/root
dpkg-deb -x "$deb" "$root"
for program in velkor-control-panel velkor-registry; do
    [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program missing or not executable"
    file -b "$root/usr/bin/$program" | grep -q '^ELF .*stripped$' || fail "$program not a stripped ELF"
done
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
hicolor=$root/usr/share/icons/hicolor
[ -f "$desktop" ] || fail "desktop file missing"
[ -f "$metainfo" ] || fail "metainfo missing"
[ -f "$hicolor/scalable/apps/$app_id.svg" ] || fail "scalable icon missing"
for size in 48 256; do
    png=$hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$png" ] || fail "${size} pixel icon missing"
    file -b "$png" | grep -qF "PNG image data, $size x $size" || fail "$png: $(file -b "$png")"
done
unexpected=$(cd "$root" && find . -type f ! -path './usr/bin/*' ! -path './usr/share/*')
[ -z "$unexpected" ] || fail "files outside usr/bin and usr/share: $unexpected"

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 || {
    cat "$work/appstream.log"; fail "appstreamcli validate"; }
# The menu entry starts the installed program with no arguments and names the installed icon;
# the metainfo launches that entry.
[ "$(sed -n 's/^Exec=//p' "$desktop")" = velkor-control-panel ] || fail "Exec line"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "Icon line"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch the desktop file"
grep -qF "<release version=\"$version\"" "$metainfo" || fail "metainfo release is not $version"

export XDG_CONFIG_HOME=$work/config
"$root/usr/bin/velkor-registry" offer-path /data/first.fdb
[ "$("$root/usr/bin/velkor-registry" read '/SOFTWARE/Trelvan\ControlPanel' DatabasePathEdit_Text)" \
    = /data/first.fdb ] || fail "the unpacked tool does not store a path"

set +e
output=$(QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD="$shim" \
    timeout 60 "$root/usr/bin/velkor-control-panel" 2>&1)
code=$?
set -e
[ "$code" -eq 0 ] || fail "the unpacked panel ended with code $code; output: $output"
expected='window shown [Velkor control panel] 660x312 icon 48x48 256x256'
grep -qxF "$expected" <<<"$output" || fail "the main window did not show as expected; output: $output"
echo "package $(basename "$deb") checked; the unpacked panel showed its window and closed"
