#!/usr/bin/env bash
# A second copy of the game started while one runs ends at once, as the program's entry has it: with exit
# status 0 and nothing on the error stream (in the sanitised build: no leak report). The first copy runs
# headless; the second on the real back end, over a virtual X server, which must be at hand.
set -eu
exe="$1"
command -v Xvfb >/dev/null || { echo "second copy: no Xvfb, skipped"; exit 77; }
root=$(mktemp -d)
first=""
xvfb=""
cleanup() {
    if [ -n "$first" ]; then kill -9 "$first" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/game" "$root/home" "$root/run"
chmod 700 "$root/run"
cp "$exe" "$root/game/marovellin"
ln -s "$(cd "$(dirname "$exe")" && pwd)/data" "$root/game/data"

Xvfb -displayfd 3 -screen 0 800x600x24 3>"$root/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$root/display" ] && break; sleep 0.1; done
[ -s "$root/display" ] || { echo "second copy: Xvfb did not start, skipped"; exit 77; }

fail() { echo "second copy: $*"; exit 1; }
cd /
env -u DISPLAY HOME="$root/home" XDG_RUNTIME_DIR="$root/run" MAROVELLIN_BACKEND=headless \
    "$root/game/marovellin" >/dev/null 2>&1 &
first=$!
for _ in $(seq 100); do [ -n "$(ls -A "$root/run")" ] && break; sleep 0.1; done
[ -n "$(ls -A "$root/run")" ] || fail "the first copy took no lock"
sleep 0.5
kill -0 "$first" 2>/dev/null || fail "the first copy ended"

set +e
env -u MAROVELLIN_BACKEND HOME="$root/home" XDG_RUNTIME_DIR="$root/run" DISPLAY=":$(cat "$root/display")" \
    "$root/game/marovellin" >"$root/out" 2>"$root/err"
rc=$?
set -e
[ "$rc" -eq 0 ] || { cat "$root/err"; fail "ended with status $rc"; }
[ ! -s "$root/err" ] || { cat "$root/err"; fail "said something on the error stream"; }
kill -0 "$first" 2>/dev/null || fail "the first copy ended with the second"
echo "second copy: ended at once and silently"
