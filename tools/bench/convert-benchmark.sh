#!/usr/bin/env bash
# Compares a batch run of inkvale-convert with a plain shell loop that runs the very same
# G'MIC command for each picture; the difference is what the program itself costs.
#
# Usage: tools/bench/convert-benchmark.sh [BUILD_DIR]     (default: build)
# Environment: PICTURES (default 8), number of generated pictures of about 1 megapixel;
#              ROUNDS (default 3), how often each side runs.
set -euo pipefail

build_dir=${1:-build}
pictures=${PICTURES:-8}
engine=$build_dir/bin/inkvale-convert
tool=$build_dir/bin/gmic/gmic
# The Cartoon preset as the tool receives it from the program.
cartoon=(cartoon '2.208,181.53,28.177,0.248,2.6505,128,0,nan,nan')
goal=1.03

for executable in "$engine" "$tool"; do
    if [[ ! -x $executable ]]; then
        echo "error: $executable not found; build first (cmake --build $build_dir)" >&2
        exit 2
    fi
done
if ((pictures < 1)); then
    echo "error: PICTURES must be at least 1" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/inkvale-bench.XXXXXX")
trap 'rm -rf -- "$work"' EXIT
# G'MIC and Qt both write below the home folder; keep the real one out of it.
export HOME=$work/home
mkdir -p "$HOME" "$work/in"

smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? a : b }'; }

echo "Generating $pictures pictures of 1200x860 in $work/in ..."
inputs=()
for ((i = 1; i <= pictures; i++)); do
    file=$work/in/picture-$(printf %02d "$i").png
    # Smooth random shapes with some grain, closer to a photo than plain noise.
    "$tool" -v -1 -input 1200,860,1,3 -plasma 0.6,1,7 -blur 2 -noise 6 -normalize 0,255 \
        -o "$file" >/dev/null
    inputs+=("$file")
done

run_engine() { # $1: output folder
    "$engine" --effect Cartoon --format PNG --destination "$1" "${inputs[@]}" >/dev/null
}

run_loop() { # $1: output folder
    mkdir -p "$1"
    local input
    for input in "${inputs[@]}"; do
        local name=${input##*/}
        "$tool" "$input" "${cartoon[@]}" -o "$1/${name%.*}.png" >/dev/null 2>&1
    done
}

count_outputs() { find "$1" -maxdepth 1 -type f -name '*.png' | wc -l; }

# Wall time is what a user waits; processor time (user + system, children included) is
# steadier on a busy machine. Both are best of the rounds.
rounds=${ROUNDS:-3}
declare -A best_wall best_cpu
TIMEFORMAT='%R %U %S'
for ((round = 1; round <= rounds; round++)); do
    for kind in engine loop; do
        out=$work/out-$kind-$round
        read -r wall user system < <({ time "run_$kind" "$out" 2>/dev/null; } 2>&1)
        cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.3f", u + s }')
        produced=$(count_outputs "$out")
        printf 'round %d  %-6s wall %8.3f s  cpu %8.3f s  (%d files)\n' \
            "$round" "$kind" "$wall" "$cpu" "$produced"
        if ((produced != pictures)); then
            echo "error: $kind produced $produced files for $pictures pictures" >&2
            exit 1
        fi
        best_wall[$kind]=$(smaller "${best_wall[$kind]:-$wall}" "$wall")
        best_cpu[$kind]=$(smaller "${best_cpu[$kind]:-$cpu}" "$cpu")
    done
done

ratio() { awk -v e="$1" -v l="$2" 'BEGIN { printf "%.3f", e / l }'; }
verdict() { awk -v r="$1" -v g="$goal" 'BEGIN { print (r <= g) ? "met" : "NOT met" }'; }
wall_ratio=$(ratio "${best_wall[engine]}" "${best_wall[loop]}")
cpu_ratio=$(ratio "${best_cpu[engine]}" "${best_cpu[loop]}")
echo
printf 'inkvale-convert (best of %d): wall %.3f s  cpu %.3f s\n' "$rounds" "${best_wall[engine]}" "${best_cpu[engine]}"
printf 'shell loop      (best of %d): wall %.3f s  cpu %.3f s\n' "$rounds" "${best_wall[loop]}" "${best_cpu[loop]}"
echo "ratio engine/loop: wall $wall_ratio ($(verdict "$wall_ratio")), cpu $cpu_ratio ($(verdict "$cpu_ratio")); goal: at most $goal"
