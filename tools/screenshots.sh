#!/usr/bin/env bash
# Opens the real window under a virtual X display, adds pictures, converts, and saves a
# screenshot of each step as PNG: build/screenshots/*.png; then the about window, and the sheet
# of the five effects side by side (effects.png) on the given photos, or on pictures of its own.
#
# Usage: tools/screenshots.sh [BUILD_DIR [PHOTO...]]
#        (default: build; needs the packages xvfb, xauth)
set -euo pipefail
build_dir=${1:-build}
photos=("${@:2}")
program=$build_dir/bin/inkvale-screenshots
if [[ ! -x $program ]]; then
    echo "error: $program not found; build first (cmake --build $build_dir)" >&2
    exit 2
fi
if ! command -v xvfb-run >/dev/null; then
    echo "error: xvfb-run not found (Debian packages xvfb and xauth)" >&2
    exit 2
fi
xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$build_dir/screenshots"
# The about window: with its rain, and with its hidden picture.
xvfb-run -a -s "-screen 0 1280x800x24" "$build_dir/bin/inkvale-about-screenshots" \
    "$build_dir/screenshots"
# The five effects on three photos (or on drawn pictures), converted by the engine.
QT_QPA_PLATFORM=offscreen "$build_dir/bin/effectsheet" "$build_dir/screenshots/effects.png" \
    "${photos[@]}"
