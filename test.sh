#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   0. the layer rules over the include lines (tools/check-layers.sh), the layout of every C++ file
#      (tools/check-format.sh), and how many stand-ins remain,
#   1. the fuzz targets (clang, libFuzzer) for 20 seconds each from their seed corpus, as many side by
#      side as there are cores, each under a 2 GB RSS limit and a 256 MB limit on any one allocation,
#      running behind steps 2 and 3 and reported at the end,
#   2. the thread and timer tests under ThreadSanitizer,
#   3. every unit test under AddressSanitizer and UBSan,
#   4. the real game of step 3's build in a virtual X server (tests/e2e/xvfb-play.sh).
set -u
cd "$(dirname "$0")"
. tools/ensure-packages.sh
ensure_packages tools/packages.txt

jobs=$(nproc)
failed=()
FUZZ_SECONDS=${FUZZ_SECONDS:-20}

configure() { # dir, cmake args...
    local dir="$1"; shift
    cmake -S . -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 || { mkdir -p "$dir"; cat "$dir.configure.log"; return 1; }
}
mkdir -p build

# 0. Layer rules: no include goes up the folder order, and each library links what its files include.
tools/check-layers.sh || failed+=("layer check")
tools/check-format.sh || failed+=("format check")
# Stand-ins for code not built yet: each carries one comment that begins "Stand-in:".
stand_ins=$(grep -rI --exclude-dir=build -e 'Stand-in:' CMakeLists.txt cmake platform sdk gamebase game tools tests bench fuzz |
    wc -l)
echo "stand-ins left: $stand_ins"

# 1. Fuzz targets.
if configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DMAROVELLIN_FUZZ=ON -DMAROVELLIN_TESTS=OFF -DMAROVELLIN_BENCH=OFF -DMAROVELLIN_SDL=OFF; then
    targets=$(ninja -C build/fuzz -t targets all 2>/dev/null | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
    if [ -n "$targets" ]; then
        if ninja -C build/fuzz -j "$jobs" $targets; then
            results=$(mktemp -d)
            # One target in a folder of its own; its log and its outcome are left in $results.
            fuzz_one() {
                local t="$1" name="${1#fuzz_}" work seeds options=()
                work=$(mktemp -d)
                seeds="$PWD/fuzz/corpus/$name"
                [ -d "$seeds" ] || seeds=
                # The settings file is read up to 256 KB: deep keys need long inputs.
                [ "$name" = settings_text ] && options+=(-max_len=262144)
                if (cd "$work" && LSAN_OPTIONS="suppressions=$OLDPWD/fuzz/lsan.supp" \
                        "$OLDPWD/build/fuzz/fuzz/$t" -max_total_time="$FUZZ_SECONDS" -print_final_stats=0 \
                        -rss_limit_mb=2048 -malloc_limit_mb=256 "${options[@]}" "$work" ${seeds:+"$seeds"} \
                        >"$results/$name.log" 2>&1); then
                    echo ok >"$results/$name.status"
                fi
                rm -rf "$work"
            }
            # The targets run for a fixed time each, so they run behind the builds of steps 2 and 3
            # instead of holding them up; their outcomes are reported at the end.
            (
                running=0
                for t in $targets; do
                    fuzz_one "$t" &
                    running=$((running + 1))
                    if [ "$running" -ge "$jobs" ]; then
                        wait -n
                        running=$((running - 1))
                    fi
                done
                wait
            ) &
            fuzz_pid=$!
        else
            failed+=("fuzz build")
        fi
    fi
else
    failed+=("fuzz configure")
fi

# 2. ThreadSanitizer.
if configure build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVELLIN_TSAN=ON -DMAROVELLIN_BENCH=OFF; then
    if ninja -C build/tsan -j "$jobs" tsan_tests; then
        # ThreadSanitizer needs a fixed address-space layout on kernels with high ASLR entropy.
        (cd build/tsan && setarch "$(uname -m)" -R ctest -L tsan --no-tests=error --output-on-failure -j "$jobs") || failed+=("tsan tests")
    else
        failed+=("tsan build")
    fi
else
    failed+=("tsan configure")
fi

# 3. AddressSanitizer and UBSan: everything, benchmarks included (built, not timed).
if configure build/asan -DCMAKE_BUILD_TYPE=Debug -DMAROVELLIN_SANITIZE=ON; then
    if ninja -C build/asan -j "$jobs"; then
        asan_built=1
        (cd build/asan && ctest --output-on-failure -j "$jobs") || failed+=("unit tests")
    else
        failed+=("asan build")
    fi
else
    failed+=("asan configure")
fi

# The fuzz targets' outcomes.
if [ -n "${fuzz_pid:-}" ]; then
    wait "$fuzz_pid"
    for t in $targets; do
        name=${t#fuzz_}
        echo "== fuzz $name for ${FUZZ_SECONDS}s"
        if [ -f "$results/$name.status" ]; then
            tail -n 1 "$results/$name.log"
        else
            tail -n 60 "$results/$name.log"
            failed+=("fuzz $name")
        fi
    done
    rm -rf "$results"
fi

# 4. The real game, played through its window in a virtual X server: the program step 3 built. It runs
# once the fuzz targets have ended, since its waits (the window within 5 s) are real time.
if [ -n "${asan_built:-}" ]; then
    tests/e2e/xvfb-play.sh build/asan || failed+=("xvfb play")
fi

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "All builds and tests passed."
