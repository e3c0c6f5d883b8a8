#!/usr/bin/env bash
# What a long burst of fire costs, both ways in one run: the real game on its own Xvfb display,
# first with its console to a file, then with --quiet (a build without that option writes to
# /dev/null instead). Each time it is left alone to measure the idle frame rate, then F2 is held
# down (the X server's auto-repeat, about 25 events a second) for a number of minutes. At each
# minute it prints the frame rate over the last WINDOW seconds as a share of that run's idle
# rate, the processor time per frame (steadier on a shared machine), the console bytes per
# frame, the page faults per frame, the shots fired so far and the game's resident memory.
#   tools/bench/heldFire.sh [build directory] [minutes of fire] [ways: file quiet null]
# Frames and shots are counted by frameTally.cpp, preloaded into the game (see benchGame.sh).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/benchGame.sh"
bench_setup "${1:-build}"
MINUTES=${2:-3}
WAYS=${3:-file quiet}
WINDOW=10 # seconds over which each frame rate is measured
echo "frame rates over ${WINDOW}s windows; $MINUTES minutes of fire each way"

for way in $WAYS; do
    start_game "$way"
    echo "== $(way_name "$way")"
    sleep 5 # start-up and the first frames
    read -r IDLE IDLE_CPU IDLE_BYTES IDLE_FAULTS < <(frame_rate "$WINDOW")
    echo "idle: $IDLE frames/s, $IDLE_CPU ms of processor and $IDLE_FAULTS page faults per frame, $(bytes_per_frame "$IDLE_BYTES"); resident $(resident)"
    xdotool keydown F2
    FIRE_START=$SECONDS
    for minute in $(seq "$MINUTES"); do
        sleep $((minute * 60 - WINDOW - (SECONDS - FIRE_START)))
        read -r RATE CPU BYTES FAULTS < <(frame_rate "$WINDOW")
        printf 'fire %d min: %s frames/s (%s%% of idle), %s ms of processor and %s page faults per frame, %s; shots %d; resident %s; load %s\n' \
            "$minute" "$RATE" "$(share "$RATE" "$IDLE")" "$CPU" "$FAULTS" "$(bytes_per_frame "$BYTES")" \
            "$(shots)" "$(resident)" "$(load)"
    done
    xdotool keyup F2
    stop_game
done
