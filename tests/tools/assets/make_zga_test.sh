#!/usr/bin/env bash
# make_zga takes both paths as host paths: a picture under a folder named in letters CP932 has no
# bytes for ("é") and in Japanese is read and written there, and nowhere else.
set -eu
exe="$1"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
for folder in "$root/josé" "$root/霧谷"; do
    mkdir -p "$folder"
    # A 2 × 1 picture: width and height, then R, G, B, A of each pixel.
    printf '\002\000\000\000\001\000\000\000\377\000\000\377\000\377\000\200' >"$folder/in.rgba"
    (cd "$root" && "$exe" "$folder/in.rgba" "$folder/out.zga")
    [ -f "$folder/out.zga" ] || { echo "make_zga: no file in $folder"; exit 1; }
    # The 24-byte header and 2 pixels of 4 bytes.
    [ "$(stat -c %s "$folder/out.zga")" -eq 32 ] || { echo "make_zga: wrong size in $folder"; exit 1; }
done
[ "$(find "$root" -name '*.zga' | wc -l)" -eq 2 ] || { echo "make_zga: a file went elsewhere"; exit 1; }
echo "make_zga: both pictures written where they were named"
