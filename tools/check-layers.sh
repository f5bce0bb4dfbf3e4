#!/usr/bin/env bash
# Checks the layer rules over the include lines of the libraries' sources:
#   1. a folder includes only headers of its own folder and of the folders before it in LAYERS;
#   2. above the host, nothing includes a back end, and the SDK and the game do not include the back-end
#      contract either (they reach the machine through the services);
#   3. each folder's library lists as DEPS in its CMakeLists.txt exactly the folders its files include;
#   4. within the game, whose folders are one library and may include one another, the ground floor
#      stands apart: game/data and game/sound include no other game folder, and game/core includes only
#      game/data and game/sound.
# Prints every breach and exits 1 when there is one.
set -u
cd "$(dirname "$0")/.."

LAYERS=(
    platform/host platform/host/media platform/host/midi platform/host/headless platform/host/freetype platform/host/sdl platform
    sdk/ztl sdk/thread sdk/timer sdk/math sdk/auxiliary sdk/window sdk/appframe sdk/input
    sdk/draw/kernels sdk/draw sdk/multimedia
    gamebase game
)
BACKENDS='^platform/host/(headless|freetype|sdl)/'
CONTRACT='^platform/(host/backend|backend_chooser)\.h$'

declare -A rank
for i in "${!LAYERS[@]}"; do rank[${LAYERS[$i]}]=$i; done

# The layer a folder belongs to: itself, or the nearest listed folder above it (the game's subjects are
# one library).
layer_of() {
    local dir="$1"
    while [ -n "$dir" ] && [ -z "${rank[$dir]+x}" ]; do
        [[ "$dir" == */* ]] && dir="${dir%/*}" || dir=""
    done
    echo "$dir"
}

# The library a layer builds: its path with "/" as "_" ("sdk/draw/kernels" is sdk_draw_kernels).
target_of() { echo "${1//\//_}"; }

failures=0
fail() {
    echo "layer check: $*"
    failures=$((failures + 1))
}

for layer in "${LAYERS[@]}"; do
    [ -d "$layer" ] || continue
    # Sources of the layer: its own folder, and subfolders that are not layers themselves.
    mapfile -t files < <(find "$layer" \( -name '*.h' -o -name '*.cpp' -o -name '*.cpp.in' \) -type f |
        while read -r f; do [ "$(layer_of "$(dirname "$f")")" = "$layer" ] && echo "$f"; done)
    declare -A used=()
    for f in "${files[@]}"; do
        while read -r header; do
            dir=$(dirname "$header")
            target=$(layer_of "$dir")
            [ -n "$target" ] || continue # a standard or system header
            if [ "${rank[$target]}" -gt "${rank[$layer]}" ]; then
                fail "$f includes $header, a layer above its own"
            fi
            if [[ ! "$layer" =~ ^platform/host ]] && [[ "$header" =~ $BACKENDS ]]; then
                fail "$f includes $header: only the host knows its back ends"
            fi
            if [[ ! "$layer" =~ ^platform ]] && [[ "$header" =~ $CONTRACT ]]; then
                fail "$f includes $header: the SDK and the game reach the back end through the services"
            fi
            [ "$target" != "$layer" ] && used[$(target_of "$target")]=1
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
    done
    # The libraries the folder's CMakeLists.txt names as DEPS must be the ones its files include.
    if [ ${#files[@]} -gt 0 ]; then
        deps=$(tr '\n' ' ' <"$layer/CMakeLists.txt" | grep -o "marovellin_module($(target_of "$layer")[ )][^)]*)" |
            sed -n 's/.*DEPS\([^)]*\)).*/\1/p' | sed 's/SOURCES.*//' | tr ' ' '\n' | grep -v '^$' | sort |
            tr '\n' ' ')
        wanted=$(printf '%s\n' "${!used[@]}" | grep -v '^$' | sort | tr '\n' ' ')
        if [ "$deps" != "$wanted" ]; then
            fail "$layer/CMakeLists.txt: DEPS [ ${deps}] but the files include [ ${wanted}]"
        fi
    fi
    unset used
done

# The game's ground floor: each folder and the other game folders it may include (the game's own
# top-level headers, are open to all).
declare -A ground_floor=([game/data]="" [game/sound]="" [game/core]="game/data game/sound")
for folder in "${!ground_floor[@]}"; do
    [ -d "$folder" ] || continue
    while IFS= read -r f; do
        while read -r header; do
            [[ "$header" == game/*/* ]] || continue
            dir=$(cut -d/ -f1-2 <<<"$header")
            [ "$dir" = "$folder" ] && continue
            [[ " ${ground_floor[$folder]} " == *" $dir "* ]] && continue
            fail "$f includes $header: $folder stands on the game's ground floor" \
                "(it may include ${ground_floor[$folder]:-no other game folder})"
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
    done < <(find "$folder" \( -name '*.h' -o -name '*.cpp' \) -type f | sort)
done

if [ "$failures" -ne 0 ]; then
    echo "layer check: $failures breach(es)"
    exit 1
fi
echo "layer check: every include follows the layer order"
