#!/usr/bin/env bash
# Plays the real game in a virtual X server, as a person would at its window: from the title through a new
# save and the camp's opening talk to the first dungeon, two steps on its first floor, then Escape and the
# exit confirmation. Keys are typed with xdotool; the window is read with xwd and checked by xwd_check
# against the pictures of the built data set. A second, short run ends the game with a terminate signal.
# The game runs as on a machine without a sound device, and says nothing on its output or error streams.
#
#   tests/e2e/xvfb-play.sh <build folder>
#
# The build folder holds marovellin with its data/ (run in a folder of its own, as ./run.sh does) and
# tests/e2e/xwd_check. Skipped, saying so, where no X server can start. On failure the screenshots (PNG)
# and the game's error output are kept in a folder named at the end.
set -u
build=$(cd "${1:?usage: xvfb-play.sh <build folder>}" && pwd)
check="$build/tests/e2e/xwd_check"
title="霧谷奇譚 -霞野と迷宮の剣姫道-"
# Times in milliseconds of the shell's real-time clock.
now() { echo $((${EPOCHREALTIME/./} / 1000)); }
since_ms() { echo $(($(now) - $1)); }
seconds() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }
started=$(now)

for tool in Xvfb xdotool xwd; do
    if ! command -v "$tool" >/dev/null; then
        echo "xvfb-play: skipped: $tool is not installed, so no X server can be used"
        exit 0
    fi
done
[ -x "$build/marovellin" ] && [ -x "$check" ] || { echo "xvfb-play: $build holds no marovellin or xwd_check"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/xvfb-play.XXXXXX")
shots="$work/shots"
mkdir -p "$shots" "$work/home" "$work/game"
xvfb_pid= game_pid= failed=

finish() {
    [ -n "${reader_pid:-}" ] && kill "$reader_pid" 2>/dev/null
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    if [ -n "$failed" ]; then
        for f in "$shots"/*.xwd; do
            [ -e "$f" ] && "$check" "$build" png "$f" "${f%.xwd}.png" >/dev/null && rm -f "$f"
        done
        rm -rf "$work/game" "$work/home"
        echo "xvfb-play: FAILED: $failed"
        echo "xvfb-play: the screenshots and the game's error output are in $work"
        exit 1
    fi
    rm -rf "$work"
}
fail() {
    failed="$*"
    finish
}
trap 'fail interrupted' INT TERM

# The server picks a free display number and writes it once it takes connections.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    xvfb_pid=
    rm -rf "$work"
    echo "xvfb-play: skipped: no X server can start here"
    exit 0
fi
export DISPLAY=":$(head -n1 "$work/display")"
# A home of its own (settings, per-user data), and a game folder of its own for its save/ and replay/:
# the program beside its data, as the build lays them out.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
# A sound device that cannot be opened, as on a machine without a sound card: every sound load tries it
# again and fails.
export SDL_AUDIODRIVER=no-such-driver
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/desktop-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
ln "$build/marovellin" "$work/game/marovellin" 2>/dev/null || cp "$build/marovellin" "$work/game/marovellin"
ln -s "$build/data" "$work/game/data"

window=

start_game() { # the game from its own folder, as ./run.sh starts it
    (cd "$work/game" && exec ./marovellin) 2>>"$work/stderr.txt" >>"$work/stdout.txt" &
    game_pid=$!
}

# Waits up to 5 s for the game's window: its title and its size.
find_window() {
    local since id name geometry
    since=$(now)
    while [ "$(since_ms "$since")" -lt $((5 * 1000)) ]; do
        id=$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | head -n1)
        if [ -n "$id" ]; then
            name=$(xdotool getwindowname "$id" 2>/dev/null)
            geometry=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')
            if [ "$name" = "$title" ] && { [ "$geometry" = 320x240 ] || [ "$geometry" = 640x480 ]; }; then
                window=$id
                echo "xvfb-play: the window \"$name\", $geometry, after $(seconds "$(since_ms "$since")") s"
                return 0
            fi
        fi
        sleep 0.05
    done
    # What a late window looked like, to tell a slow start from a window that never comes.
    local state late=never
    if kill -0 "$game_pid" 2>/dev/null; then
        state="running ($(sed -n 's/^State:[[:space:]]*//p' "/proc/$game_pid/status" 2>/dev/null))"
    else
        wait "$game_pid"
        state="ended with status $?"
        game_pid=
    fi
    local w
    for w in $(xdotool search --name . 2>/dev/null); do
        echo "$w \"$(xdotool getwindowname "$w" 2>&1)\" pid $(xdotool getwindowpid "$w" 2>&1)" \
            "$(xdotool getwindowgeometry "$w" 2>&1 | sed -n 's/.*Geometry: //p')"
    done >"$work/windows.txt"
    while [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null && [ "$(since_ms "$since")" -lt $((30 * 1000)) ]; do
        if [ -n "$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null)" ]; then
            late="after $(seconds "$(since_ms "$since")") s"
            break
        fi
        sleep 0.1
    done
    fail "no window titled \"$title\" of 320 x 240 or 640 x 480 within 5 s (last seen: \"${name:-}\" ${geometry:-};" \
        "the game was $state at 5 s; a window of the game showed $late; the named windows are in windows.txt)"
}

shot() { # a screenshot of the window named by its time and what it shows; its path on stdout
    local file
    file="$shots/${EPOCHREALTIME/./}-$1.xwd"
    xwd -id "$(xdotool search --onlyvisible --pid "$game_pid" | tail -n1)" -silent >"$file" 2>/dev/null
    echo "$file"
}

# The reader of the window (tests/e2e/xwd_check.cpp): it loads the pictures once and takes the shots of
# its waits itself. One request, one answer line in $reply.
reader_pid=
start_reader() {
    coproc READER { exec "$check" "$build" serve "$game_pid"; }
    reader_pid=$READER_PID
}
ask() {
    echo "$*" >&"${READER[1]}"
    read -r reply <&"${READER[0]}" || fail "the screenshot reader ended"
}
stop_reader() {
    [ -n "$reader_pid" ] || return 0
    exec {READER[1]}>&-
    wait "$reader_pid" 2>/dev/null
    reader_pid=
}

# A key tap: pressed and released at once, as the back end must see even between two of its reads.
tap() { xdotool key --clearmodifiers "$1"; }

# Taps a key and waits until the window changes (within $2 seconds, default 10) and holds still;
# $settled says how it went: settled, unchanged or restless. The last shot is $last.
settled=
tap_and_settle() { # key, [seconds to wait for a change, [seconds to wait for it to hold still]]
    local before
    before=$(shot "before-$1")
    tap "$1"
    last="$shots/${EPOCHREALTIME/./}-after-$1.xwd"
    ask settle "$before" "$last" "${2:-10}" "${3:-10}"
    settled=$reply
    [ "$settled" = unchanged ] || rm -f "$before"
    [ "$settled" != unchanged ]
}
tap_and_expect() { # key, what should answer it
    # A screen that has just opened may drop a key: it clears its key counters as it opens. One more
    # tap is safe, since a tap that was taken changed the window and is not repeated.
    tap_and_settle "$1" || tap_and_settle "$1" || fail "$2 did not answer $1"
}

# Waits up to 10 s for a check to hold; the last shot is $last.
wait_for() { # check, what it shows, [shot before]
    last="$shots/${EPOCHREALTIME/./}-$2.xwd"
    ask wait "$1" "${3:--}" "$last" 10
    case "$reply" in
    yes*) ;;
    *) fail "$2 did not show within 10 s: ${reply#no }" ;;
    esac
}

# Waits up to 5 s for the game to end after what was done to it, and asks for status 0.
expect_clean_end() { # what ended it
    local since status
    since=$(now)
    while kill -0 "$game_pid" 2>/dev/null && [ "$(since_ms "$since")" -lt 5000 ]; do
        sleep 0.05
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the game did not end within 5 s of $1"
    wait "$game_pid"
    status=$?
    game_pid=
    [ "$status" = 0 ] || fail "the game ended with status $status after $1"
    echo "xvfb-play: the game ended with status 0, $(seconds "$(since_ms "$since")") s after $1"
}

# ---- The road.
start_game
find_window
start_reader

wait_for title "title"
echo "xvfb-play: title: ${reply#yes }"

# "新しくデータを作る", the first line of the browser, then its prompt for a name.
tap_and_expect z "the browser"
tap_and_expect z "the name prompt"
# Three kana on the board: the cursor starts on its command row; down to あ, three times, then 決定.
for key in Down z z z Up Left z; do
    tap_and_expect "$key" "the name board"
done

# The camp's opening talk: decide through its lines until the camp menu shows. Its question has no
# choice made until a direction key is pressed, so a decide that changes nothing is followed by Down
# (はい) and decide.
talk_started=$(now)
while :; do
    # Only a window that holds still can show the menu.
    if [ "$settled" = settled ]; then
        ask check camp "$last"
        case "$reply" in yes*) break ;; esac
    fi
    [ "$(since_ms "$talk_started")" -lt 90000 ] || fail "the camp menu did not show: ${reply#no }"
    # A line still being written holds no longer than this: the next decide shows it whole.
    if ! tap_and_settle z 1 0.35; then
        tap_and_expect Down "the camp's question"
        tap_and_expect z "the camp's question"
    fi
done
echo "xvfb-play: camp, after $(seconds "$(since_ms "$talk_started")") s of talk: ${reply#yes }"

# "ダンジョンへ向かう" (the first line), 初心の道 (the first dungeon), はい.
tap_and_expect z "the camp menu"
tap_and_expect z "the dungeon list"
tap_and_expect Down "the dungeon's question"
tap z
wait_for floor "floor-1"
echo "xvfb-play: floor 1: ${reply#yes }"

# Two steps: each in the first direction that moves the map.
for step in 1 2; do
    moved=
    for key in Right Down Left Up; do
        sleep 0.3 # the last motion ends
        before=$(shot "step-$step-before")
        tap "$key"
        last="$shots/${EPOCHREALTIME/./}-step-$step-$key.xwd"
        ask wait moved "$before" "$last" 2
        case "$reply" in
        yes*)
            moved=$key
            break
            ;;
        esac
    done
    [ -n "$moved" ] || fail "step $step: the map area did not change for any direction (${reply#no })"
    echo "xvfb-play: step $step ($moved): ${reply#yes }"
done

# Escape and the exit confirmation, drawn in the game's window; Return answers it with its default, OK.
tap_and_expect Escape "the exit confirmation"
stop_reader
tap Return
expect_clean_end "the confirmation"

# ---- A terminate signal ends the game as its close box does.
start_game
find_window
start_reader
wait_for title "title-again"
stop_reader
kill -TERM "$game_pid"
expect_clean_end "a terminate signal"

if grep -q 'Sanitizer' "$work/stderr.txt"; then
    fail "the sanitizers reported errors"
fi
if [ -s "$work/stdout.txt" ] || [ -s "$work/stderr.txt" ]; then
    fail "the game printed lines of its own (stdout.txt, stderr.txt)"
fi
echo "xvfb-play: passed in $(seconds "$(since_ms "$started")") s"
finish
