#!/usr/bin/env bash
# Frame rates of the game beside a window that only clears and swaps and one that draws the
# game's display lists with no game logic, each on its own Xvfb server, in turn, three rounds.
# Each line gives frames per second and the processor time per frame (all threads, Mesa's
# software rasteriser included), which is the steadier figure on a shared machine.
#   tools/bench/fps.sh [build directory] [seconds per run]
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
SECONDS_PER_RUN=${2:-10}
cd "$BUILD"
for program in fpsGame fpsListsOnly fpsBareSwap; do
    [ -x "tools/bench/$program" ] || { echo "build tools/bench/$program first" >&2; exit 1; }
done
echo "machine: $(nproc) cores; $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2)"
run() {
    xvfb-run -a -s "-screen 0 1024x768x24" "$@" 2>&1 >/dev/null | grep "frames per second"
}
for round in 1 2 3; do
    echo "round $round:"
    run tools/bench/fpsGame "$BUILD/zephrandolinth" "$SECONDS_PER_RUN"
    run tools/bench/fpsListsOnly "$SECONDS_PER_RUN"
    run tools/bench/fpsBareSwap "$SECONDS_PER_RUN"
done
