#!/usr/bin/env bash
# The game's executable in its clean-up mode, run as a person would, in a home of its own: user 2's
# folder and files go without a question; the "save" and "replay" folders are asked for and, with no
# answer given (the headless back end takes each box's default, No), stay as they were.
set -eu
exe="$1"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/game/save" "$root/game/replay" "$root/home/.local/share/霧谷奇譚/0002" "$root/home/.local/share/霧谷奇譚/0009"
cp "$exe" "$root/game/marovellin"
# "save\main.cfg" of user 2 with no save entries, its check value at the end.
printf '\000\000\000\000\001\000\002\000\000\000\000\000\000\000\377\377\377\377\000\000\000\000\240\000\000\000\240\000\000\000\003\000\000\000\001\000\000\000\000\000\335\233\142\127' \
    >"$root/game/save/main.cfg"
touch "$root/home/.local/share/霧谷奇譚/0002/00020001.act" "$root/game/replay/0002abc0001.rpl"

cd /
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$root/home" MAROVELLIN_BACKEND=headless "$root/game/marovellin" deletesave

fail() { echo "deletesave: $*"; exit 1; }
[ ! -e "$root/home/.local/share/霧谷奇譚/0002" ] || fail "the user's folder is still there"
[ -d "$root/home/.local/share/霧谷奇譚/0009" ] || fail "another user's folder went"
[ -f "$root/game/save/main.cfg" ] || fail "the save folder was cleared without a yes"
[ -f "$root/game/replay/0002abc0001.rpl" ] || fail "the replay folder was cleared without a yes"
echo "deletesave: the user's data went, the folders that were not answered stay"
