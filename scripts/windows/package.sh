#!/usr/bin/env bash
# Makes the Windows packages from a Windows build of the program:
#   package.sh PROGRAM_BUILD OUTPUT_FOLDER QT_SOURCE
# OUTPUT_FOLDER/Inkvale/ is the install tree; beside it the portable zip (that folder) and the
# per-user installer (scripts/windows/installer.nsi).
set -euo pipefail
mkdir -p "$2"
program=$(cd "$1" && pwd) out=$(cd "$2" && pwd) qt_source=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$program/CMakeCache.txt")
name="Inkvale-$version-windows-x64"

stage="$out/Inkvale"
rm -rf "$stage"
cmake --install "$program" --prefix "$stage" --strip
# Qt is shipped as DLLs under its LGPL, which travels with it.
mkdir -p "$stage/licenses/qt"
cp "$qt_source/LICENSES/LGPL-3.0-only.txt" "$qt_source/LICENSES/GPL-3.0-only.txt" \
    "$stage/licenses/qt/"

# The portable copy keeps its settings beside the program, which its marker file asks for; the
# installed one keeps them in the user's profile.
rm -f "$out/$name.zip"
printf '%s\r\n' "While this file is here, Inkvale keeps its settings in this folder." \
    >"$stage/portable.txt"
(cd "$out" && zip -qr9 "$name.zip" Inkvale)
rm "$stage/portable.txt"

# The uninstaller removes exactly the files the installer wrote, never a whole folder the user
# may have chosen for other things too.
{
    (cd "$stage" && find . -type f | sed 's|^\./||' | sort) | while read -r file; do
        printf 'Delete "$INSTDIR\\%s"\n' "${file//\//\\}"
    done
    (cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) | while read -r folder; do
        printf 'RMDir "$INSTDIR\\%s"\n' "${folder//\//\\}"
    done
} >"$out/uninstall-files.nsh"
size_kb=$(du -sk "$stage" | cut -f 1)
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$out/uninstall-files.nsh" \
    -DSIZE_KB="$size_kb" -DICON="$program/src/app/inkvale_resources/inkvale.ico" \
    -DOUTFILE="$out/$name-setup.exe" "$here/installer.nsi"
ls -l "$out/$name.zip" "$out/$name-setup.exe"
