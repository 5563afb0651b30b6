#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo database if absent and starts the panel.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build-release" Release -DBUILD_TESTING=OFF -DVELKOR_BENCH=OFF

data_home=${XDG_DATA_HOME:-$HOME/.local/share}
demo="$data_home/velkor/demo.fdb"
if [ ! -f "$demo" ]; then
    "$top/demo/create-database.sh" "$demo"
    echo "Demo database created: $demo"
fi
# A store the tool cannot use (damaged, unreadable) is left as it is for the panel to report.
if [ -x "$top/build-release/tools/velkor-registry" ]; then
    "$top/build-release/tools/velkor-registry" offer-path "$demo" || true
fi
exec "$top/build-release/app/velkor-control-panel"
