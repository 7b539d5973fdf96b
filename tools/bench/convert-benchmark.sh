#!/usr/bin/env bash
# Batch wall time of inkvale-convert and of the window against `xargs -P <cores>` running the
# very same G'MIC command lines on the same pictures; a plain one-after-the-other loop of those
# command lines is printed too. The difference to xargs is what the program's batch costs.
#
# Usage: tools/bench/convert-benchmark.sh [BUILD_DIR]     (default: build)
# Environment: PICTURES (default 8), number of generated pictures of 1600x1200;
#              ROUNDS (default 3), how often each side runs; WINDOW=0 leaves the window out.
set -euo pipefail

build_dir=${1:-build}
pictures=${PICTURES:-8}
engine=$build_dir/bin/inkvale-convert
window=$build_dir/bin/window-benchmark
tool=$build_dir/bin/gmic/gmic
# The Cartoon preset as the tool receives it from the program.
cartoon=(cartoon '2.208,181.53,28.177,0.248,2.6505,128,0,nan,nan')
cores=$(nproc)
goal=1.00

for executable in "$engine" "$tool"; do
    if [[ ! -x $executable ]]; then
        echo "error: $executable not found; build first (cmake --build $build_dir)" >&2
        exit 2
    fi
done
with_window=${WINDOW:-1}
if [[ $with_window != 0 && ! -x $window ]]; then
    echo "error: $window not found; build first, or set WINDOW=0" >&2
    exit 2
fi
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

echo "Generating $pictures pictures of 1600x1200 in $work/in ..."
inputs=()
for ((i = 1; i <= pictures; i++)); do
    file=$work/in/picture-$(printf %02d "$i").png
    # Smooth random shapes with some grain, closer to a photo than plain noise.
    "$tool" -v -1 -input 1600,1200,1,3 -plasma 0.6,1,7 -blur 2 -noise 6 -normalize 0,255 \
        -o "$file" >/dev/null
    inputs+=("$file")
done

run_engine() { # $1: output folder
    "$engine" --effect Cartoon --format PNG --destination "$1" "${inputs[@]}" >/dev/null
}

# The window prints its own batch time, from the click on Convert to "Completed", and how
# many files it wrote.
run_window() { # $1: output folder (the window chooses its own)
    QT_QPA_PLATFORM=offscreen "$window" "${inputs[@]}" >"$work/window-report" || true
    mkdir -p "$1"
    local written
    written=$(awk -F: '/files written/ { print $2 + 0 }' "$work/window-report")
    for ((i = 0; i < written; i++)); do touch "$1/$i.png"; done
}

command_lines() { # $1: output folder; one NUL-separated argument list per picture
    local input
    for input in "${inputs[@]}"; do
        local name=${input##*/}
        printf '%s\0' "$input" "${cartoon[@]}" -o "$1/${name%.*}.png"
    done
}

run_xargs() { # $1: output folder
    mkdir -p "$1"
    command_lines "$1" | xargs -0 -n 5 -P "$cores" "$tool" >/dev/null 2>&1
}

run_loop() { # $1: output folder
    mkdir -p "$1"
    command_lines "$1" | xargs -0 -n 5 -P 1 "$tool" >/dev/null 2>&1
}

count_outputs() { find "$1" -maxdepth 1 -type f -name '*.png' | wc -l; }

kinds=(engine xargs loop)
if [[ $with_window != 0 ]]; then
    kinds=(engine window xargs loop)
fi
rounds=${ROUNDS:-3}
declare -A best_wall
TIMEFORMAT='%R'
for ((round = 1; round <= rounds; round++)); do
    for kind in "${kinds[@]}"; do
        out=$work/out-$kind-$round
        exec 3>&1
        wall=$({ time "run_$kind" "$out" 1>&3 2>/dev/null; } 2>&1)
        exec 3>&-
        if [[ $kind == window ]]; then
            wall=$(awk -F: '/batch wall time/ { printf "%.3f", ($2 + 0) / 1000 }' \
                "$work/window-report")
            awk '/longest gap/' "$work/window-report"
        fi
        produced=$(count_outputs "$out")
        printf 'round %d  %-6s wall %8.3f s  (%d files)\n' "$round" "$kind" "$wall" "$produced"
        if ((produced != pictures)); then
            echo "error: $kind produced $produced files for $pictures pictures" >&2
            exit 1
        fi
        best_wall[$kind]=$(smaller "${best_wall[$kind]:-$wall}" "$wall")
    done
done

ratio() { awk -v e="$1" -v l="$2" 'BEGIN { printf "%.3f", e / l }'; }
verdict() { awk -v r="$1" -v g="$goal" 'BEGIN { print (r <= g) ? "met" : "NOT met" }'; }
echo
echo "best of $rounds rounds, $pictures pictures of 1600x1200, Cartoon, $cores cores:"
for kind in "${kinds[@]}"; do
    printf '  %-7s wall %8.3f s\n' "$kind" "${best_wall[$kind]}"
done
for kind in engine window; do
    [[ -n ${best_wall[$kind]:-} ]] || continue
    r=$(ratio "${best_wall[$kind]}" "${best_wall[xargs]}")
    echo "ratio $kind / xargs -P $cores: $r ($(verdict "$r")); goal: at most $goal"
done
echo "ratio one after the other / xargs -P $cores: $(ratio "${best_wall[loop]}" "${best_wall[xargs]}")"
