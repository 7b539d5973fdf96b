#!/usr/bin/env bash
# Whether the effects keep their look at any picture size, and what that costs.
#
# For each photo (scaled to about 12 megapixels, never enlarged) and each effect the tool runs,
# inkvale-convert renders the photo and a 1 megapixel copy of it, with --effect-scale fit and
# with exact. The look measure is
#     d(result of the large photo scaled to 1 MP, result of the 1 MP copy)
#   / d(result of the 1 MP copy, the 1 MP copy itself)
# with d the root-mean-square difference of the RGB values: how far apart the two results
# are, against how far the effect takes the picture. Goal: at most 1/3 with fit. It also
# prints the conversion time of the large photo with fit against exact, and with
# --max-size 2048 (fit) against fit at full size (goal: at least 4 times faster).
#
# Usage: tools/bench/effect-scale-benchmark.sh [BUILD_DIR [PHOTO...]]
#   Default photos: two real photographs of Debian's lomiri-wallpapers-16.04 package, which
#   is installed when missing (as root).
# Environment: EFFECTS (default: "Cartoon,Comicbook,Cutout,Lineart,Pen Drawing").
# Slow: about 30 tool runs of 1 to 12 megapixels per photo. Use nice on a shared machine.
set -euo pipefail

build_dir=${1:-build}
shift || true
engine=$build_dir/bin/inkvale-convert
tool=$build_dir/bin/gmic/gmic
IFS=',' read -r -a effects <<<"${EFFECTS:-Cartoon,Comicbook,Cutout,Lineart,Pen Drawing}"

for executable in "$engine" "$tool"; do
    if [[ ! -x $executable ]]; then
        echo "error: $executable not found; build first (cmake --build $build_dir)" >&2
        exit 2
    fi
done

photos=("$@")
if [[ ${#photos[@]} -eq 0 ]]; then
    backgrounds=/usr/share/backgrounds
    if [[ ! -f $backgrounds/Dragonfly_by_Bolly.jpg ]]; then
        echo "Installing Debian's lomiri-wallpapers-16.04 for its photographs ..."
        apt-get install -y lomiri-wallpapers-16.04 >/dev/null
    fi
    photos=("$backgrounds/Dragonfly_by_Bolly.jpg" "$backgrounds/sunset_by_Aitzol_Berasategi.jpg")
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/inkvale-bench.XXXXXX")
trap 'rm -rf -- "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME"

gmic() { "$tool" -v -1 "$@"; }

# Converts $1 with effect $2 into folder $3 with the further options; prints wall seconds.
convert_timed() {
    local input=$1 effect=$2 out=$3
    shift 3
    rm -rf -- "$out"
    local start end
    start=$(date +%s.%N)
    "$engine" --quiet --effect "$effect" --destination "$out" "$@" "$input" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

# d(a scaled to b's size, b) / d(b, photo): the look measure; all three files are PNG.
look_ratio() {
    gmic "$1" "$2" "$3" to_rgb r[0] [1],[1],1,3,2 \
        +-[0] [1] sqr[-1] 'd1={sqrt(ia)}' rm[-1] \
        +-[1] [2] sqr[-1] 'd0={sqrt(ia)}' rm[-1] \
        'q={$d1/$d0}' echo_stdout '$q'
}

ratio_line=""
time_line=""
printf -v ratio_line "%-12s %-8s %10s %10s\n" "photo" "effect" "fit" "exact"
printf -v time_line "%-12s %-8s %9s %9s %10s %10s %12s\n" "photo" "effect" "exact s" "fit s" \
    "fit/exact" "2048 s" "fit/2048"
for photo in "${photos[@]}"; do
    name=$(basename "${photo%.*}")
    name=${name%%_*}
    IFS=x read -r -a size < <(gmic "$photo" 's={w}x{h}' echo_stdout '$s')
    # About 12 megapixels, never more than the photo has.
    factor=$(echo "scale=6; f=sqrt(12000000 / (${size[0]} * ${size[1]})); if (f > 1) f=1; f" | bc)
    large=$work/$name-large.png
    small=$work/$name-small.png
    gmic "$photo" r "{round(w*$factor)},{round(h*$factor)},1,3,2" -o "$large"
    IFS=x read -r lw lh < <(gmic "$large" 's={w}x{h}' echo_stdout '$s')
    gmic "$large" r "{round(w*sqrt(1000000/(w*h)))},{round(h*sqrt(1000000/(w*h)))},1,3,2" \
        -o "$small"
    IFS=x read -r sw sh < <(gmic "$small" 's={w}x{h}' echo_stdout '$s')
    echo "Photo $name: $photo, large ${lw}x${lh}, small ${sw}x${sh}"
    for effect in "${effects[@]}"; do
        declare -A ratio=() seconds=()
        for scale in fit exact; do
            seconds[$scale]=$(convert_timed "$large" "$effect" "$work/large-$scale" \
                --effect-scale $scale)
            convert_timed "$small" "$effect" "$work/small-$scale" --effect-scale $scale >/dev/null
            ratio[$scale]=$(look_ratio "$work/large-$scale/$name-large.png" \
                "$work/small-$scale/$name-small.png" "$small")
        done
        limited=$(convert_timed "$large" "$effect" "$work/limited" --max-size 2048)
        short=${effect%% *}
        line=$(printf "%-12s %-8s %10.3f %10.3f" "$name" "$short" "${ratio[fit]}" "${ratio[exact]}")
        echo "  $line"
        ratio_line+="$line"$'\n'
        time_line+=$(printf "%-12s %-8s %9.1f %9.1f %10.2f %10.1f %12.2f" "$name" "$short" \
            "${seconds[exact]}" "${seconds[fit]}" \
            "$(echo "${seconds[fit]} / ${seconds[exact]}" | bc -l)" "$limited" \
            "$(echo "${seconds[fit]} / $limited" | bc -l)")$'\n'
    done
done

echo
echo "Look measure, large result at 1 MP against the 1 MP result (goal with fit: <= 0.333):"
printf "%s" "$ratio_line"
echo
echo "Conversion time of the large photo (wall seconds, inkvale-convert, one picture):"
printf "%s" "$time_line"
