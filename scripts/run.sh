#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and converts a sample picture with every effect.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

sample="$build/sample"
mkdir -p "$sample"
# A picture made by the tool itself: coloured discs on a gradient.
"$build/bin/gmic/gmic" -v - 640,480,1,3,"[x*255/w,y*255/h,128]" \
    ellipse 200,200,120,120,0,1,200,40,40 ellipse 440,280,140,90,0,1,40,60,200 \
    -o "$sample/sample.png"

"$build/bin/inkvale-convert" --list-effects
for effect in Cartoon Cutout "Pen Drawing" Comicbook Lineart; do
    "$build/bin/inkvale-convert" --effect "$effect" --format JPG \
        --destination "$sample/$effect" "$sample/sample.png" || true
done
echo
echo "Results: $sample/<effect>/sample.jpg"
