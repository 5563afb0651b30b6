#!/usr/bin/env bash
# Configures and builds into DIR with the given build type.
#   build.sh DIR TYPE [cmake options...]
# The configure step runs every time: it costs nothing when nothing changed, it takes the options
# given now, and it finishes a folder whose first configure stopped half-way.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=$1 type=$2
shift 2
generator=()
# A folder configured before keeps its generator; naming it again would be refused if it differs.
grep -q '^CMAKE_GENERATOR:INTERNAL=' "$dir/CMakeCache.txt" 2>/dev/null || generator=(-G Ninja)
cmake -S "$top" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
