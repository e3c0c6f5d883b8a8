#!/usr/bin/env bash
# Fire as a player taps it: the real game on its own Xvfb display, left alone to measure its idle
# frame rate, then F2 pressed once every 0.2 s (five shots a second) for 35 s, and the frame rate
# measured over the next WINDOW seconds while the presses go on, as a share of the same run's
# idle rate. Run once per way of starting the game (see benchGame.sh), each on a fresh game.
#   tools/bench/pressFire.sh [build directory] [ways: file quiet null]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/benchGame.sh"
bench_setup "${1:-build}"
WAYS=${2:-file quiet}
WINDOW=10 # seconds over which each frame rate is measured
PRESSING=35

for way in $WAYS; do
    start_game "$way"
    sleep 5 # start-up and the first frames
    read -r IDLE IDLE_CPU _ IDLE_FAULTS < <(frame_rate "$WINDOW")
    # One xdotool for all the presses, paced by its own delay between keystrokes.
    xdotool key --delay 200 $(yes F2 | head -n $(((PRESSING + WINDOW) * 5 + 50))) &
    PRESSER=$!
    sleep "$PRESSING"
    read -r RATE CPU BYTES FAULTS < <(frame_rate "$WINDOW")
    kill "$PRESSER"
    wait "$PRESSER" 2>/dev/null || true
    printf '%s: idle %s frames/s (%s ms of processor, %s page faults per frame); after %d s of F2 every 0.2 s: %s frames/s (%s%% of idle), %s ms of processor, %s page faults per frame, %s; shots %d; resident %s; load %s\n' \
        "$(way_name "$way")" "$IDLE" "$IDLE_CPU" "$IDLE_FAULTS" "$PRESSING" "$RATE" "$(share "$RATE" "$IDLE")" \
        "$CPU" "$FAULTS" "$(bytes_per_frame "$BYTES")" "$(shots)" "$(resident)" "$(load)"
    stop_game
done
