#!/bin/sh
# Builds the .deb with CPack, checks it with dpkg-deb and lintian, unpacks it into a throwaway
# root and runs the installed programs from there.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages $KRONALO_BUILD_PACKAGES dpkg-dev lintian man-db desktop-file-utils appstream

cmake --preset default
cmake --build --preset default
(cd build && cpack)
deb=$(ls build/kronalo_*_amd64.deb)

dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/lib/kronalo/Kronalo ./usr/lib/kronalo/Stamplet ./usr/bin/kronalo ./usr/bin/stamplet \
    ./usr/share/applications/kronalo.desktop ./usr/share/icons/hicolor/scalable/apps/kronalo.svg \
    ./usr/share/man/man1/stamplet.1.gz ./usr/share/man/man1/kronalo.1.gz \
    ./usr/share/doc/kronalo/README \
    ./usr/share/metainfo/io.github.kronalo.Kronalo.metainfo.xml; do
    echo "$contents" | grep -q " $path" || { echo "missing from the package: $path" >&2; exit 1; }
done
lintian --fail-on error,warning "$deb"
# "Open with" offers Kronalo for folders and the files users convert.
desktop-file-validate data/kronalo.desktop
# Software centres show what the metadata says: it must be valid, without the network.
appstreamcli validate --no-net build/data/io.github.kronalo.Kronalo.metainfo.xml
# Every declared dependency can be had on this Debian release.
apt-get install --simulate "./$deb" >/dev/null

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root/unpacked"
"$root/unpacked/usr/bin/stamplet" '/?' | grep -q '^Usage: Stamplet'
man -l "$root/unpacked/usr/share/man/man1/stamplet.1.gz" >/dev/null
# The help and the version need no display.
env -u DISPLAY -u WAYLAND_DISPLAY "$root/unpacked/usr/bin/kronalo" --version | grep -q '^Kronalo '
env -u DISPLAY -u WAYLAND_DISPLAY "$root/unpacked/usr/bin/kronalo" --help | grep -q '^Usage: kronalo'

# An installed copy keeps its settings in the user's configuration folder, never beside itself:
# it writes them at its first start.
XDG_CONFIG_HOME="$root/config" QT_QPA_PLATFORM=offscreen timeout 5 \
    "$root/unpacked/usr/bin/kronalo" >/dev/null 2>&1 || true
test -f "$root/config/Kronalo/Kronalo.dat" || { echo "no settings in the configuration folder" >&2; exit 1; }
test ! -e "$root/unpacked/usr/lib/kronalo/Kronalo.dat" || { echo "settings beside the program" >&2; exit 1; }
echo "package checked: $deb"
