#!/bin/sh
# Takes a screenshot of Kronalo's real window under Xvfb, showing a folder of sample clips,
# and writes it to docs/kronalo.png (or the path given as the first argument).
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages $KRONALO_BUILD_PACKAGES xvfb xauth imagemagick fonts-liberation
out=$(realpath -m "${1:-docs/kronalo.png}")

cmake --preset default >/dev/null
cmake --build --preset default --target Kronalo Stamplet >/dev/null

sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
mkdir -p "$sample/Kesäloma 2006"
for i in 01 02 03 04 05 06; do
    touch "$sample/Kesäloma 2006/clip$i.avi" "$sample/Kesäloma 2006/clip$i.wmv"
done

xvfb-run -a -s "-screen 0 900x620x24" sh -c '
    "$1" "$2/" & pid=$!
    sleep 3
    import -window root -crop 651x382+129+179 +repage "$3"
    kill $pid
' sh "$PWD/build/bin/Kronalo" "$sample/Kesäloma 2006" "$out"
echo "Screenshot written to $out"
