#!/bin/sh
# Installs the build in BUILD_DIR to a temporary prefix and checks what a desktop expects of
# it: the desktop entry, the AppStream metainfo, the man page, the icons, the help file and the
# examples; then builds the Debian package and lists its files. A missing tool skips its check
# (exit 77 when no check could run).
set -eu
build=${1:?usage: check-install.sh BUILD_DIR}
id=io.github.tavrigon.Tavrigon
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
ran=0
have() { command -v "$1" >/dev/null 2>&1 || { echo "skipped: $1 is not installed"; return 1; }; }

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
p=$tmp/prefix
for f in bin/tavrigon share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
         share/icons/hicolor/256x256/apps/$id.png share/man/man1/tavrigon.1 \
         share/tavrigon/Vantro.hlp share/tavrigon/examples/saddle.txt; do
    test -f "$p/$f" || { echo "missing: $f"; exit 1; }
done
"$p/bin/tavrigon" --version
grep -q '^Exec=tavrigon %f$' "$p/share/applications/$id.desktop"
# Every option of --help is in the man page.
for o in $("$p/bin/tavrigon" --help | grep -o -- '--[a-z]*' | sort -u); do
    grep -q -- "$(echo "$o" | sed 's/-/\\\\-/g')" "$p/share/man/man1/tavrigon.1" ||
        { echo "man page lacks $o"; exit 1; }
done
if have desktop-file-validate; then
    desktop-file-validate "$p/share/applications/$id.desktop"; ran=1
fi
if have appstreamcli; then
    appstreamcli validate --no-net "$p/share/metainfo/$id.metainfo.xml"; ran=1
fi
if have man; then
    MANWIDTH=80 man -l "$p/share/man/man1/tavrigon.1" 2>&1 >/dev/null | { ! grep .; }
    MANWIDTH=80 man -l "$p/share/man/man1/tavrigon.1" | grep -q 'tavrigon - draw'; ran=1
fi
if have cpack && have dpkg-deb && have dpkg-shlibdeps; then
    (cd "$build" && cpack -G DEB -B "$tmp/package" >/dev/null)
    deb=$(ls "$tmp"/package/tavrigon_*.deb)
    dpkg-deb --field "$deb" Package Version Depends
    dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6
    dpkg-deb --contents "$deb" | awk '{print $6}'
    dpkg-deb --contents "$deb" | grep "usr/share/applications/$id.desktop" >/dev/null
    ran=1
fi
[ "$ran" = 1 ] || exit 77
echo "install checks passed"
