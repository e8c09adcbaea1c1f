#!/usr/bin/env bash
# Times each stage of the patch job beside the tools a user would pick instead, on one corpus, in one run,
# and prints the medians, the ratios against the targets and our peak memory as markdown tables.
#
# usage: bench/run.sh [BUILD_DIR]          (default: build)
# env:   QUICK=1    one timed run per command, no warm-up (checks the script, not the speed)
#        RUNS=N     timed runs per command (default 5)
#        OUTDIR=... work folder on tmpfs (default /dev/shm/gvbench); the corpus is kept there between runs
#        INPUTS="game classes5000 ..."  corpus names to time (default: all, smallest first)
#        STAGES="extract pack replace job"  stages to time (default: all)
#        PER_OFFSET_INPUTS="..."  inputs the slow per-offset patcher runs on (default: game classes5000 large)
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-build}" && pwd)
OUT=${OUTDIR:-/dev/shm/gvbench}
RUNS=${RUNS:-5}
WARMUP=1
if [ "${QUICK:-0}" = 1 ]; then RUNS=1 WARMUP=0; fi
STAGES=${STAGES:-extract pack replace job}
PER_OFFSET_INPUTS=${PER_OFFSET_INPUTS:-game classes5000 large}

for tool in hyperfine zip unzip 7z bsdtar python3 perl /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing (make bootstrap)" >&2; exit 1; }
done
for program in bench/gvbench bench/refs/ref_patch_offset bench/refs/ref_patch_mmap bench/refs/ref_zlib; do
    [ -x "$BUILD/$program" ] || { echo "bench: $BUILD/$program is missing (build first)" >&2; exit 1; }
done

# Everything lives on tmpfs: inputs, scratch folders, the programs and the job's "temp" folder beside
# grandvue, since the disk slows file creation for a while after thousands of deletions.
BIN=$OUT/bin CORPUS=$OUT/corpus SRC=$OUT/src WORK=$OUT/work JSON=$OUT/json
rm -rf "$BIN" "$SRC" "$WORK" "$JSON"
mkdir -p "$BIN" "$CORPUS" "$SRC" "$WORK/tmp" "$JSON"
export TMPDIR=$WORK/tmp  # the writer's temporary archive goes there
cp "$BUILD/bench/gvbench" "$BUILD"/bench/refs/ref_* "$BIN/"
HAVE_JOB=0
if [ -x "$BUILD/app/grandvue" ]; then cp "$BUILD/app/grandvue" "$BIN/" && HAVE_JOB=1; fi

echo "== corpus ($CORPUS)"
python3 "$HERE/make_corpus.py" "$CORPUS"
if [ -z "${INPUTS:-}" ]; then
    INPUTS=$(cd "$CORPUS" && ls -Sr *.jar | sed 's/\.jar$//' | tr '\n' ' ')
fi

# Reference trees: every packer and patcher reads the same files, unpacked once by Info-ZIP.
for name in $INPUTS; do
    unzip -q -o "$CORPUS/$name.jar" -d "$SRC/$name"
done

# Sanity before speed: our stages must give the same files and sound archives, or the figures mean nothing.
echo "== checks"
for name in $INPUTS; do
    "$BIN/gvbench" extract "$CORPUS/$name.jar" "$WORK/check" >/dev/null
    diff -r "$SRC/$name" "$WORK/check" >/dev/null || { echo "bench: extract of $name differs from unzip" >&2; exit 1; }
    "$BIN/gvbench" pack "$SRC/$name" "$WORK/check.jar" >/dev/null
    unzip -tq "$WORK/check.jar" >/dev/null || { echo "bench: packed $name fails unzip -t" >&2; exit 1; }
    # Deflating ahead on other threads must not change a byte of the archive.
    "$BIN/gvbench" pack1 "$SRC/$name" "$WORK/check1.jar" >/dev/null
    cmp -s "$WORK/check.jar" "$WORK/check1.jar" || { echo "bench: $name packs differently on one thread" >&2; exit 1; }
    rm -rf "$WORK/check" "$WORK/check.jar" "$WORK/check1.jar"
    cp -a "$SRC/$name" "$WORK/ours" && cp -a "$SRC/$name" "$WORK/mmap"
    "$BIN/gvbench" replace "$WORK/ours" >/dev/null && "$BIN/ref_patch_mmap" "$WORK/mmap"
    diff -r "$WORK/ours" "$WORK/mmap" >/dev/null || { echo "bench: patched $name differs from memmem" >&2; exit 1; }
    rm -rf "$WORK/ours" "$WORK/mmap"
done
if [ $HAVE_JOB = 1 ]; then
    # The payload class for the by-hand pipeline, taken from what the job adds.
    cp "$CORPUS/game.jar" "$WORK/payload.jar"
    "$BIN/grandvue" --no-backup "$WORK/payload.jar" >/dev/null
    unzip -q -o "$WORK/payload.jar" 'com/vidorurud/fullscreen/WideCv.class' -d "$WORK/payload"
    PAYLOAD=$WORK/payload/com/vidorurud/fullscreen/WideCv.class
fi
echo "checks passed"

hf() {  # hf JSON_NAME hyperfine-arguments...
    local json=$1
    shift
    hyperfine --style basic --warmup "$WARMUP" --runs "$RUNS" --export-json "$JSON/$json.json" "$@" >/dev/null
}

peak_rss() {  # peak_rss KEY command...  (one untimed run under /usr/bin/time -v)
    local key=$1
    shift
    /usr/bin/time -v "$@" >/dev/null 2>"$WORK/time.txt"
    echo "$key $(sed -n 's/.*Maximum resident set size (kbytes): //p' "$WORK/time.txt")" >>"$JSON/rss.txt"
}

ceiling() {  # ceiling KEY inflate|deflate INPUT: the median of the zlib reference's in-process timings
    local key=$1 i t times=()
    shift
    for ((i = 0; i < WARMUP + RUNS; i++)); do
        t=$("$BIN/ref_zlib" "$@" | sed -n 's/^compute //p')
        if [ "$i" -ge "$WARMUP" ]; then times+=("$t"); fi
    done
    printf '%s\n' "${times[@]}" | sort -g |
        awk -v key="$key" '{ t[NR] = $1 } END { print key, t[int((NR + 1) / 2)] }' >>"$JSON/ceiling.txt"
}

sizes() {  # sizes ARCHIVE: the file's size and the sum of its entries' compressed data
    python3 -c 'import os, sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
print(os.path.getsize(sys.argv[1]), sum(i.compress_size for i in z.infolist() if not i.is_dir()))' "$1"
}

X=$WORK/x
PY_EXTRACT='import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])'
PY_PACK='import os, sys, zipfile
with zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
    for root, dirs, files in os.walk(sys.argv[1]):
        dirs.sort()
        for f in sorted(files):
            p = os.path.join(root, f)
            z.write(p, os.path.relpath(p, sys.argv[1]))'
SEARCH='javax/microedition/lcdui/Canvas'
REPLACE='com/vidorurud/fullscreen/WideCv'

for name in $INPUTS; do
    jar=$CORPUS/$name.jar src=$SRC/$name
    if [[ " $STAGES " == *" extract "* ]]; then
        echo "== extract $name"
        hf "extract-$name" --prepare "rm -rf $X" \
            -n ours "$BIN/gvbench extract $jar $X" \
            -n unzip "unzip -q -o $jar -d $X" \
            -n 7z "7z x -y -o$X $jar" \
            -n bsdtar "mkdir -p $X && bsdtar -xf $jar -C $X" \
            -n python "python3 -c '$PY_EXTRACT' $jar $X"
        ceiling "extract-$name" inflate "$jar"
        rm -rf "$X"
        peak_rss "extract-$name" "$BIN/gvbench" extract "$jar" "$X"
        rm -rf "$X"
    fi
    if [[ " $STAGES " == *" pack "* ]]; then
        echo "== pack $name"
        hf "pack-$name" --prepare "rm -f $WORK/out.zip $WORK/out.jar" \
            -n ours "$BIN/gvbench pack $src $WORK/out.jar" \
            -n zip "cd $src && zip -q -r -6 $WORK/out.zip ." \
            -n 7z "cd $src && 7z a -tzip -mx=5 $WORK/out.zip ." \
            -n python "python3 -c '$PY_PACK' $src $WORK/out.zip"
        ceiling "pack-$name" deflate "$src"
        rm -f "$WORK/out.zip" "$WORK/out.jar"
        peak_rss "pack-$name" "$BIN/gvbench" pack "$src" "$WORK/out.jar"
        (cd "$src" && zip -q -r -6 "$WORK/out.zip" .)
        echo "pack-$name $(sizes "$WORK/out.jar") $(sizes "$WORK/out.zip")" >>"$JSON/sizes.txt"
        rm -f "$WORK/out.zip" "$WORK/out.jar"
    fi
    if [[ " $STAGES " == *" replace "* ]]; then
        echo "== replace $name"
        # Without a shell: on the small inputs the patchers finish within the shell's start-up noise.
        hf "replace-$name" -N --prepare "sh -c 'rm -rf $X && cp -a $src $X'" \
            -n ours "$BIN/gvbench replace $X" \
            -n mmap "$BIN/ref_patch_mmap $X"
        # One system call per byte offset: half a minute a run on the 5,000 classes, so no warm-up.
        if [[ " $PER_OFFSET_INPUTS " == *" $name "* ]]; then
            hyperfine --style basic --runs "$RUNS" --export-json "$JSON/offset-$name.json" \
                --prepare "rm -rf $X && cp -a $src $X" -n per-offset "$BIN/ref_patch_offset $X" >/dev/null
        fi
        rm -rf "$X" && cp -a "$src" "$X"
        peak_rss "replace-$name" "$BIN/gvbench" replace "$X"
        rm -rf "$X"
    fi
    if [[ " $STAGES " == *" job "* ]] && [ $HAVE_JOB = 1 ]; then
        echo "== job $name"
        by_hand="rm -rf $X && mkdir $X && cd $X && unzip -q $WORK/job.jar"
        by_hand+=" && find . -name '*.class' -exec perl -0777 -pi -e 's{\\Q$SEARCH\\E}{$REPLACE}g' {} +"
        by_hand+=" && mkdir -p com/vidorurud/fullscreen && cp $PAYLOAD com/vidorurud/fullscreen/"
        by_hand+=" && zip -q -r -6 $WORK/job.new . && mv $WORK/job.new $WORK/job.jar && cd $WORK && rm -rf $X"
        hf "job-$name" --prepare "cp $jar $WORK/job.jar" \
            -n ours "$BIN/grandvue --no-backup $WORK/job.jar" \
            -n pipeline "$by_hand"
        cp "$jar" "$WORK/job.jar"
        peak_rss "job-$name" "$BIN/grandvue" --no-backup "$WORK/job.jar"
    fi
done

echo
{
    echo "Inputs, scratch folders, programs and the job's temp folder all on /dev/shm (tmpfs)."
    echo "Runs per command: $RUNS (warm-up $WARMUP; the per-offset patcher without). Load average at the end:" \
        "$(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores."
    echo
    python3 "$HERE/report.py" "$JSON"
} | tee "$OUT/report.md"
