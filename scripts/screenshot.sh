#!/bin/sh
# Takes a screenshot of Kronalo's real window under Xvfb, showing a folder of sample clips under
# a user's home folder, and writes it to docs/kronalo.png (or the path given as the first
# argument). As root the home folder is a throwaway /home/liisa in a mount namespace of its own;
# otherwise the sample goes into the caller's home and is removed afterwards.
set -eu
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/kronalo.png}")
if [ -z "${SCREENSHOT_HOME:-}" ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null; then
    exec unshare --mount sh -c \
        'mount -t tmpfs tmpfs /home && SCREENSHOT_HOME=/home/liisa exec "$0" "$1"' "$0" "$out"
fi
. scripts/deps.sh
kronalo_need_packages $KRONALO_BUILD_PACKAGES xvfb xauth imagemagick fonts-liberation

cmake --preset default >/dev/null
cmake --build --preset default --target Kronalo Stamplet >/dev/null

home=${SCREENSHOT_HOME:-$HOME}
sample="$home/Videot/Kesäloma 2006"
[ -n "${SCREENSHOT_HOME:-}" ] || trap 'rm -rf "$sample"; rmdir "$home/Desktop" 2>/dev/null || true' EXIT
mkdir -p "$sample" "$home/Desktop"
for i in 01 02 03 04 05 06; do
    touch "$sample/klippi$i.avi" "$sample/klippi$i.wmv"
done
HOME="$home" xvfb-run -a -s "-screen 0 900x620x24" sh -c '
    "$1" "$2/" & pid=$!
    sleep 3
    import -window root -crop 651x382+129+179 +repage "$3"
    kill $pid
' sh "$PWD/build/bin/Kronalo" "$sample" "$out"
echo "Screenshot written to $out"
