#!/usr/bin/env bash
# Runs each parser's libFuzzer target for a bounded time, where clang is there.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${VELKOR_FUZZ_SECONDS:-20}
if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: no clang++, fuzzing skipped"
    exit 0
fi
dir=$top/build-fuzz
mkdir -p "$dir"
build_log=$dir/build.log
# Configured every time, like the main build, so a configure that stopped half-way heals.
generator=()
grep -q '^CMAKE_GENERATOR:INTERNAL=' "$dir/CMakeCache.txt" 2>/dev/null || generator=(-G Ninja)
if ! CC=clang CXX=clang++ cmake -S "$top" -B "$dir" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_FUZZ=ON -DBUILD_TESTING=OFF >"$build_log" 2>&1 ||
    ! cmake --build "$dir" --target registry_text_fuzz translate_params_fuzz >>"$build_log" 2>&1; then
    cat "$build_log" >&2
    echo "fuzz.sh: building the fuzz targets failed" >&2
    exit 1
fi

# fuzz NAME BINARY [SEEDS]: a crash or a broken property fails the run with the fuzzer's log.
fuzz() {
    local name=$1 binary=$2 seeds=${3:-}
    local corpus=$dir/$name-corpus log=$dir/$name.log
    mkdir -p "$corpus"
    if ! "$binary" -max_total_time="$seconds" -artifact_prefix="$dir/$name-" "$corpus" $seeds \
        >"$log" 2>&1; then
        cat "$log"
        exit 1
    fi
    echo "$name: $(tail -n 1 "$log")"
}
fuzz registry_text "$dir/fuzz/registry_text_fuzz" "$top/tests/fuzz/registry"
fuzz translate_params "$dir/fuzz/translate_params_fuzz" "$top/tests/fuzz/translate_params"
