#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts the game.
set -eu
cd "$(dirname "$0")"
. tools/ensure-packages.sh
ensure_packages tools/packages.txt

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAROVELLIN_TESTS=OFF -DMAROVELLIN_BENCH=OFF >/dev/null
ninja -C build/release

exe=build/release/marovellin
if [ ! -x "$exe" ]; then
    echo "Built. The program marovellin is not there yet."
    exit 0
fi
cd "$(dirname "$exe")"
exec ./marovellin "$@"
