#!/usr/bin/env bash
# Peak memory of a batch of 12 megapixel photos converted by inkvale-convert with the number of
# conversions at once that it chooses itself, against the memory available when it started.
# Samples the tool processes' resident memory five times a second.
#
# Usage: tools/bench/batch-memory-benchmark.sh [BUILD_DIR]     (default: build)
# Environment: PICTURES (default 4), EFFECT (default Cartoon), SIZE (default 4000x3000).
set -euo pipefail

build_dir=${1:-build}
pictures=${PICTURES:-4}
effect=${EFFECT:-Cartoon}
size=${SIZE:-4000x3000}
engine=$build_dir/bin/inkvale-convert
tool=$build_dir/bin/gmic/gmic

for executable in "$engine" "$tool"; do
    if [[ ! -x $executable ]]; then
        echo "error: $executable not found; build first (cmake --build $build_dir)" >&2
        exit 2
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/inkvale-membench.XXXXXX")
trap 'rm -rf -- "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME" "$work/in"

echo "Generating $pictures pictures of $size ..."
inputs=()
for ((i = 1; i <= pictures; i++)); do
    file=$work/in/photo-$(printf %02d "$i").jpg
    "$tool" -v -1 -input "${size%x*},${size#*x},1,3" -plasma 0.6,1,7 -noise 6 \
        -normalize 0,255 -o "$file,90" >/dev/null
    inputs+=("$file")
done

available_kb=$(awk '/^MemAvailable:/ { print $2 }' /proc/meminfo)
"$engine" --effect "$effect" --destination "$work/out" "${inputs[@]}" >/dev/null &
engine_pid=$!

peak_kb=0
peak_tools=0
while kill -0 "$engine_pid" 2>/dev/null; do
    total=0
    tools=0
    for pid in $(ps -o pid= --ppid "$engine_pid" 2>/dev/null); do
        rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
        if [[ -n $rss ]]; then
            total=$((total + rss))
            tools=$((tools + 1))
        fi
    done
    ((total > peak_kb)) && peak_kb=$total
    ((tools > peak_tools)) && peak_tools=$tools
    sleep 0.2
done
wait "$engine_pid" || echo "note: inkvale-convert exited with status $?"

awk -v p="$peak_kb" -v a="$available_kb" -v n="$peak_tools" -v c="$(nproc)" \
    -v k="$pictures" -v e="$effect" -v s="$size" 'BEGIN {
    printf "%d photos of %s, %s, %d cores\n", k, s, e, c
    printf "memory available at the start: %.2f GB\n", a / 1048576
    printf "tools at once (most seen):     %d\n", n
    printf "peak memory of the tools:      %.2f GB (%.0f %% of what was available)\n",
        p / 1048576, 100 * p / a
}'
