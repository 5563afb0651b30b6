#!/usr/bin/env bash
# Installs what is missing, builds and runs every test; ends with CTest's summary.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build" RelWithDebInfo "$@"
export QT_QPA_PLATFORM=offscreen
cd "$top/build"
ctest --output-on-failure -j 2
