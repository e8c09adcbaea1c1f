#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan), makes the seed corpora, and runs each target
# for SECONDS_EACH seconds; any finding stops the run with a non-zero status and leaves its input in findings/.
# Usage: fuzz/run.sh BUILD_DIR SECONDS_EACH [TARGET...]
# GV_WERROR=ON (make fuzz-ci WERROR=ON) turns warnings in the project's code into errors, as in the other trees.
# FUZZ_KEEP_GOING=1 keeps fuzzing past findings (libFuzzer's fork mode) and fails at the end if there were any.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_classify fuzz_extract fuzz_deflate64 fuzz_masks fuzz_settings fuzz_classfile)

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGV_FUZZ=ON -DGV_WERROR="${GV_WERROR:-OFF}" \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
        -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
        -DGV_FOLDERS="platform;framework;search;archive;classfile;app;fuzz" >/dev/null
fi
cmake --build "$build" -j 2 --target "${targets[@]}"

seeds=$build/seeds
[ -d "$seeds" ] || bash fuzz/make-seeds.sh "$seeds"

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/findings"
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    # One scratch root per target, so runs of different targets side by side never sweep each other's files.
    export TMPDIR=$PWD/$build/tmp/$name
    mkdir -p "$TMPDIR"
    corpus=$build/corpus/$name
    mkdir -p "$corpus"
    echo "== $target: $seconds s"
    log=$build/findings/$name.log
    status=0
    keepGoing=()
    [ "${FUZZ_KEEP_GOING:-0}" = 1 ] && keepGoing=(-fork=1 -ignore_crashes=1)
    "$build/fuzz/$target" "${keepGoing[@]}" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$name-" "$corpus" "$seeds/$name" >"$log" 2>&1 ||
        status=$?
    grep -E '^(INFO: seed corpus|#[0-9]+ +DONE|stat::number_of_executed_units|SUMMARY|==[0-9]+==ERROR)|runtime error' "$log" | sort -u || true
    grep -E '^#[0-9]+: cov' "$log" | tail -n 1 || true
    ls "$build/findings/$name"-* >/dev/null 2>&1 && status=1
    rm -rf "${TMPDIR:?}"/gvfuzz-*
    if [ "$status" -ne 0 ]; then
        echo "$target: finding; input in $build/findings/" >&2
        failed=1
        [ "${FUZZ_KEEP_GOING:-0}" = 1 ] || exit 1
    fi
done
exit "${failed:-0}"
