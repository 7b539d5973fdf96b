#!/usr/bin/env bash
# Times each of the five effects on one photo of about 3 megapixels, converted by
# inkvale-convert as a user would, and prints each time and its ratio to "Cartoon".
# "Comicbook" and "Lineart" should take at most 1.5 times as long as "Cartoon" (on a tool
# without cl_comic / cl_lineart, Inkvale's own recipes run there).
#
# Usage: tools/bench/effects-benchmark.sh [BUILD_DIR [PHOTO]]     (default: build, and a
#        generated 2000x1500 picture)
# Environment: ROUNDS (default 3): each effect runs that often, the best time counts.
set -euo pipefail

build_dir=${1:-build}
photo=${2:-}
rounds=${ROUNDS:-3}
engine=$build_dir/bin/inkvale-convert
tool=$build_dir/bin/gmic/gmic
goal=1.5

for executable in "$engine" "$tool"; do
    if [[ ! -x $executable ]]; then
        echo "error: $executable not found; build first (cmake --build $build_dir)" >&2
        exit 2
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/inkvale-bench.XXXXXX")
trap 'rm -rf -- "$work"' EXIT
# G'MIC and Qt both write below the home folder; keep the real one out of it.
export HOME=$work/home
mkdir -p "$HOME"

if [[ -z $photo ]]; then
    photo=$work/photo.png
    echo "Generating a 2000x1500 picture ..."
    # Smooth random shapes with some grain, closer to a photo than plain noise.
    "$tool" -v -1 -input 2000,1500,1,3 -plasma 0.6,1,8 -blur 2 -noise 6 -normalize 0,255 \
        -o "$photo" >/dev/null
fi
size=$("$tool" -v -1 "$photo" -echo_stdout "{w}x{h}")
echo "Photo: $photo ($size), best of $rounds rounds, wall seconds including the program's start"

effects=("Cartoon" "Comicbook" "Cutout" "Lineart" "Pen Drawing")
declare -A best
for ((round = 1; round <= rounds; round++)); do
    # The effects one after another in each round, so that a change in the machine's load
    # falls on all of them alike.
    for effect in "${effects[@]}"; do
        out=$work/out-$round
        rm -rf -- "$out"
        start=$(date +%s.%N)
        if ! "$engine" --effect "$effect" --format PNG --destination "$out" "$photo" >/dev/null; then
            echo "error: $effect failed" >&2
            exit 1
        fi
        end=$(date +%s.%N)
        seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')
        if [[ -z ${best[$effect]:-} ]] ||
            awk -v a="$seconds" -v b="${best[$effect]}" 'BEGIN { exit !(a < b) }'; then
            best[$effect]=$seconds
        fi
    done
done

"$engine" --list-effects | sed 's/^/  /'
cartoon=${best[Cartoon]}
for effect in "${effects[@]}"; do
    ratio=$(awk -v a="${best[$effect]}" -v b="$cartoon" 'BEGIN { printf "%.2f", a / b }')
    verdict=""
    if [[ $effect == Comicbook || $effect == Lineart ]]; then
        verdict=$(awk -v r="$ratio" -v g="$goal" \
            'BEGIN { print (r <= g) ? "within " g "x" : "OVER " g "x" }')
    fi
    printf '  %-12s %7s s   ratio to Cartoon %s  %s\n' "$effect" "${best[$effect]}" "$ratio" \
        "$verdict"
done
echo "Times on a machine shared with other work vary by 20% or more between runs."
