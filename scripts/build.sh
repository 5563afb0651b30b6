#!/usr/bin/env bash
# Configures (once) and builds into DIR with the given build type.
#   build.sh DIR TYPE [cmake options...]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=$1 type=$2
shift 2
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
