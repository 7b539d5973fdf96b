#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and starts the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    echo "Built $build/bin/inkvale, but there is no display to show its window on." >&2
    echo "Run this from a desktop session, or see the window with: tools/screenshots.sh" >&2
    exit 2
fi
exec "$build/bin/inkvale"
