#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts the game.
set -eu
cd "$(dirname "$0")"
. tools/ensure-packages.sh
ensure_packages tools/packages.txt

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAROVELLIN_TESTS=OFF -DMAROVELLIN_BENCH=OFF >/dev/null
ninja -C build/release

# The game runs in its own folder, where it finds data/ and keeps save/ and replay/.
cd build/release
exec ./marovellin "$@"
