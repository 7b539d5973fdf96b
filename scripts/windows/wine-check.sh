#!/usr/bin/env bash
# Runs the packaged Windows program under Wine as a user would:
#   wine-check.sh PROGRAM_FOLDER OUTPUT_FOLDER
# converts a photo with each effect through inkvale-convert.exe and the shipped gmic.exe and
# checks that every result decodes, times the tool under Wine against the build machine's own
# G'MIC on the same picture, and opens the window with the photo under a virtual X display
# for a screenshot (OUTPUT_FOLDER/window.png). Needs wine64, xvfb, xauth, imagemagick, gmic.
set -euo pipefail
program=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# Wine in a prefix and a home of its own, as the tests run it.
export WINEPREFIX="$out/wine-prefix" WINEDEBUG=-all WINEARCH=win64 LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
export HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config" XDG_DATA_HOME="$out/home/.data"
mkdir -p "$HOME"
"$wine" wineboot --init >/dev/null 2>&1

# A photo-like picture of 640 x 480: a plasma with soft edges and some shapes.
photo="$out/photo.jpg"
convert -seed 7 -size 640x480 plasma:fractal -blur 0x2 -fill '#603020' \
    -draw 'circle 320,240 320,120' -quality 92 "$photo"

failed=0
mkdir -p "$out/convert"
for effect in Cartoon Comicbook Cutout Lineart "Pen Drawing"; do
    folder="$out/convert/${effect// /-}"
    rm -rf "$folder"
    "$wine" "$program/inkvale-convert.exe" --quiet --effect "$effect" --format PNG \
        --log "Z:$folder.log" --destination "Z:$folder" "Z:$photo" || failed=1
    result="$folder/photo.png"
    if [ -f "$result" ] && convert -regard-warnings "$result" -format '%wx%h' info: \
        >"$folder.size"; then
        echo "$effect: $(cat "$folder.size") $(stat -c %s "$result") bytes"
    else
        echo "$effect: no picture that decodes" >&2
        failed=1
    fi
done

# The tool alone, the same command under Wine and natively; the Wine figure includes Wine's
# start (the time of "gmic.exe -version" is given too).
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
# The log's lines end in CR LF, as Windows text does.
read -r -a words < <(tr -d '\r' <"$out/convert/Cartoon.log" |
    sed -n 's/^gmic\.exe "[^"]*" \(.*\) -o "[^"]*"$/\1/p' | head -n 1) || true
if ((${#words[@]})); then
    (cd "$program/gmic" && echo "gmic.exe -version under Wine: $(seconds "$wine" gmic.exe -version) s")
    for run in 1 2; do
        (cd "$program/gmic" &&
            echo "Cartoon, gmic.exe under Wine (run $run): $(seconds "$wine" gmic.exe "Z:$photo" \
                "${words[@]}" -o "Z:$out/wine.png") s")
        echo "Cartoon, gmic on Linux (run $run): $(seconds gmic "$photo" "${words[@]}" \
            -o "$out/linux.png") s"
    done
fi

# The window with the photo in its list.
xvfb-run -a -s "-screen 0 1280x800x24" sh -c "
    '$wine' '$program/Inkvale.exe' 'Z:$photo' &
    sleep 30
    import -window root '$out/window.png'
    '$wineserver' -k
" || failed=1
echo "Screenshot: $out/window.png"
"$wineserver" -k 2>/dev/null || true
exit $failed
