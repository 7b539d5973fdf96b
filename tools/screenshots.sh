#!/usr/bin/env bash
# Opens the real window under a virtual X display, adds pictures, converts, and saves a
# screenshot of each step as PNG: build/screenshots/*.png; then the about window, and the sheet
# of the five effects side by side (effects.png) on the given photos, or on pictures of its own.
#
# Usage: tools/screenshots.sh [BUILD_DIR [dark|200] [PHOTO...]]
#        (default: build; needs the packages xvfb, xauth)
#   dark: the Fusion style with a dark palette, into BUILD_DIR/screenshots/dark/
#   200:  at 200 % scale (QT_SCALE_FACTOR=2), into BUILD_DIR/screenshots/scale-200/
#   Either leaves out the effect sheet, which shows the effects and no window.
set -euo pipefail
build_dir=${1:-build}
variant=${2:-}
out=$build_dir/screenshots
screen="1280x800x24"
case $variant in
dark)
    export INKVALE_SCREENSHOTS_PALETTE=dark
    out=$out/dark
    ;;
200)
    export QT_SCALE_FACTOR=2
    out=$out/scale-200
    screen="2560x1600x24"
    ;;
*)
    variant=""
    ;;
esac
if [[ -n $variant ]]; then
    photos=()
else
    photos=("${@:2}")
fi
program=$build_dir/bin/inkvale-screenshots
if [[ ! -x $program ]]; then
    echo "error: $program not found; build first (cmake --build $build_dir)" >&2
    exit 2
fi
if ! command -v xvfb-run >/dev/null; then
    echo "error: xvfb-run not found (Debian packages xvfb and xauth)" >&2
    exit 2
fi
xvfb-run -a -s "-screen 0 $screen" "$program" "$out"
# The about window: with its rain, and with its hidden picture.
xvfb-run -a -s "-screen 0 $screen" "$build_dir/bin/inkvale-about-screenshots" "$out"
if [[ -n $variant ]]; then
    exit 0
fi
# The five effects on three photos (or on drawn pictures), converted by the engine.
QT_QPA_PLATFORM=offscreen "$build_dir/bin/effectsheet" "$build_dir/screenshots/effects.png" \
    "${photos[@]}"
