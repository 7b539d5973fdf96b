#!/usr/bin/env bash
# Makes the Debian package with cpack in the build folder, unpacks it into a scratch root and
# checks that it holds what `cmake --install` lays out, that the programs run from there, and
# that lintian finds nothing wrong with it. Arguments: the build folder, a scratch folder
# (emptied first), the cpack command.
set -euo pipefail

build=$1
scratch=$2
cpack=$3
rm -rf "$scratch"
mkdir -p "$scratch/root"

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
shopt -s nullglob
packages=("$scratch"/out/inkvale_*.deb)
if [[ ${#packages[@]} -ne 1 ]]; then
    echo "expected one inkvale_*.deb, found: ${packages[*]:-none}"
    exit 1
fi
package=${packages[0]}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

[[ $(dpkg-deb -f "$package" Package) == inkvale ]] || fail "package name"
depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
for needed in gmic qt6-image-formats-plugins libqt6svg6 xdg-utils libqt6core6 libqt6widgets6 libcurl4 libc6 \
    libexiv2-27 libheif1 libwebpmux3; do
    [[ ",$depends," == *[\ ,]${needed}[\ ,\(]* ]] || fail "Depends lacks $needed"
done

dpkg-deb -x "$package" "$scratch/root"
root=$scratch/root/usr
for file in lib/inkvale/inkvale lib/inkvale/inkvale-convert; do
    [[ -f $root/$file && -x $root/$file ]] || fail "no program $file"
done
for file in lib/inkvale/license.txt lib/inkvale/inkvale-recipes.gmic share/doc/inkvale/changelog.gz \
    share/applications/org.tavrino.Inkvale.desktop \
    share/metainfo/org.tavrino.Inkvale.metainfo.xml share/icons/hicolor/scalable/apps/inkvale.svg \
    share/man/man1/inkvale-convert.1.gz share/man/man1/inkvale.1.gz share/doc/inkvale/copyright; do
    [[ -f $root/$file ]] || fail "no file $file"
done
[[ $(readlink "$root/lib/inkvale/gmic/gmic") == ../../../bin/gmic ]] || fail "gmic/gmic is no relative link to the system's tool"
for program in inkvale inkvale-convert; do
    [[ $(readlink "$root/bin/$program") == ../lib/inkvale/$program ]] || fail "bin/$program is no link to lib/inkvale/$program"
done
# Nothing of the build (tests, tools, benchmarks) comes along.
expected='^\./(lib/inkvale/(inkvale|inkvale-convert|license\.txt|inkvale-recipes\.gmic|gmic/gmic)|bin/(inkvale|inkvale-convert)|share/(applications|metainfo|icons|man|doc/inkvale)/.*)$'
unexpected=$(find "$root" \( -type f -o -type l \) -printf './%P\n' | grep -v -E "$expected" || true)
[[ -z $unexpected ]] || fail "unexpected files: $unexpected"

for program in inkvale-convert inkvale; do
    version=$(QT_QPA_PLATFORM=offscreen "$root/bin/$program" --version) || fail "$program --version failed"
    [[ $version =~ ^$program\ [0-9]+\.[0-9]+ ]] || fail "$program --version said: $version"
done

# Debian's hardening (cmake/Hardening.cmake) holds for the package's programs: position-
# independent, relocations read-only and resolved at start, checked buffer functions (the
# compiler calls them only where it cannot prove a call safe: one program with one is enough).
fortified=0
for program in inkvale inkvale-convert; do
    binary=$root/lib/inkvale/$program
    [[ $(readelf -h "$binary") =~ Type:\ +DYN ]] || fail "$program is not position-independent"
    [[ $(readelf -l -W "$binary") == *GNU_RELRO* ]] || fail "$program has no read-only relocations"
    [[ $(readelf -d -W "$binary") =~ \(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW ]] ||
        fail "$program does not resolve its relocations at start"
    [[ $(readelf --dyn-syms -W "$binary") =~ __[a-z_]+_chk ]] && fortified=$((fortified + 1))
    [[ $(readelf -S -W "$binary") != *" .comment "* ]] || fail "$program keeps its .comment section"
done
[[ $fortified -gt 0 ]] || fail "no program uses checked buffer functions: fortify is off"

# Debian's own checks of a package: any error or warning fails. What it says at the info level
# stands (license.txt beside the programs, which the about window shows; its guess that
# inkvale-convert lacks fortify, which the check above answers). Its cache goes to the scratch
# folder.
if command -v lintian >/dev/null; then
    HOME=$scratch XDG_CACHE_HOME=$scratch/cache lintian --fail-on error,warning \
        --tag-display-limit 0 "$package" >"$scratch/lintian.log" 2>&1 ||
        fail "lintian: $(cat "$scratch/lintian.log")"
else
    fail "lintian is not installed (./scripts/setup.sh installs it)"
fi

echo "$(basename "$package"): $(stat -c %s "$package") bytes"
exit $((failures > 0))
