#!/usr/bin/env bash
# Builds the Debian package from a Release build: installs what is missing, builds into
# build-release (the folder ./run.sh builds, with the same options, so one serves both) and
# writes velkor-control-panel_<version>_<arch>.deb there; prints the package's path.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$top/build-release
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$build" Release -DBUILD_TESTING=OFF -DVELKOR_BENCH=OFF
if ! cpack --config "$build/CPackConfig.cmake" -B "$build" >"$build/cpack.log" 2>&1; then
    cat "$build/cpack.log" >&2
    exit 1
fi
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
echo "$build/velkor-control-panel_${version}_$(dpkg --print-architecture).deb"
