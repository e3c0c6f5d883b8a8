#!/usr/bin/env bash
# What a long burst of fire costs: the real game on its own Xvfb display, its console to a file,
# first left alone to measure the idle frame rate, then with F2 held down (the X server's
# auto-repeat, about 25 events a second) for a number of minutes. At each minute it prints the
# frame rate over the last WINDOW seconds (and the processor time per frame, steadier on a
# shared machine), the shots fired so far, the live records in the game's last printed
# registry and the game's resident memory.
#   tools/bench/heldFire.sh [build directory] [minutes of fire]
# The frame count is read from the console (one registry print per frame), so the figures cost
# the game nothing beyond the file it writes anyway.
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
MINUTES=${2:-3}
WINDOW=10 # seconds over which each frame rate is measured
[ -x "$BUILD/zephrandolinth" ] || { echo "build $BUILD/zephrandolinth first" >&2; exit 1; }
[ -d "$BUILD/bin/models" ] || { echo "generate the art into $BUILD/bin first" >&2; exit 1; }

SCRATCH=$(mktemp -d)
XVFB_PID=
GAME_PID=
cleanup() {
    if [ -n "$GAME_PID" ]; then kill "$GAME_PID" 2>/dev/null || true; wait "$GAME_PID" 2>/dev/null || true; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
    rm -rf "$SCRATCH"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$SCRATCH/display" 2>"$SCRATCH/xvfb.log" &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$SCRATCH/display" ] && break; sleep 0.1; done
[ -s "$SCRATCH/display" ] || { echo "Xvfb did not start" >&2; cat "$SCRATCH/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$SCRATCH/display")"

CONSOLE=$SCRATCH/console
(cd "$BUILD" && exec ./zephrandolinth) >"$CONSOLE" 2>"$SCRATCH/stderr" &
GAME_PID=$!
WINDOW_ID=$(xdotool search --sync --onlyvisible --name 'Zephrandolinth v0.1' | head -n 1)
xdotool windowfocus --sync "$WINDOW_ID"

console_size() { stat -c %s "$CONSOLE"; }
# Registry prints (frames) in the console bytes from offset $1 to offset $2.
frames_between() { tail -c +"$(($1 + 1))" "$CONSOLE" | head -c "$(($2 - $1))" | grep -c ' on print' || true; }
# Processor time the game has used so far (all its threads, Mesa's rasteriser included), in
# clock ticks: the steadier figure on a shared machine.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
# Frames per second over the next $WINDOW seconds, the processor milliseconds per frame and the
# console megabytes per frame.
frame_rate() {
    local from to start end ticks
    from=$(console_size)
    ticks=$(cpu_ticks)
    start=$(date +%s.%N)
    sleep "$WINDOW"
    to=$(console_size)
    end=$(date +%s.%N)
    awk -v n="$(frames_between "$from" "$to")" -v s="$start" -v e="$end" \
        -v t="$(($(cpu_ticks) - ticks))" -v hz="$(getconf CLK_TCK)" \
        -v bytes="$((to - from))" \
        'BEGIN { printf("%.1f %.1f %.2f\n", n / (e - s), (n > 0 ? 1000 * t / hz / n : 0),
                        (n > 0 ? bytes / n / 1e6 : 0)) }'
}
# Records still in use in the last complete registry print, and every record printed there.
# After minutes of fire a frame writes megabytes (every overlapping pair of shots is a line),
# so the search looks back far enough to hold a whole frame.
live_records() {
    tail -c 100000000 "$CONSOLE" | awk '
        / on print/ { inside = 1; live = 0; total = 0; next }
        / fin du print/ { if (inside) { lastLive = live; lastTotal = total } inside = 0; next }
        inside && /^ind: / { total++; if ($2 != -1) live++ }
        END { printf "%d of %d", lastLive, lastTotal }'
}
shots() { grep -c ' premier dispo' "$CONSOLE" || true; }
resident() { awk '/VmRSS/ { printf "%d MiB", $2 / 1024 }' "/proc/$GAME_PID/status"; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

echo "machine: $(nproc) cores;$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2); load average $(load)"
echo "game: $BUILD/zephrandolinth on $DISPLAY; frame rates over ${WINDOW}s windows"
sleep 5 # start-up and the first frames
read -r IDLE IDLE_CPU _ < <(frame_rate)
STARTING_SHOTS=$(shots)
echo "idle: $IDLE frames/s, $IDLE_CPU ms of processor per frame; live records $(live_records); resident $(resident)"

xdotool keydown F2
FIRE_START=$SECONDS
for minute in $(seq "$MINUTES"); do
    sleep $((minute * 60 - WINDOW - (SECONDS - FIRE_START)))
    read -r RATE CPU CONSOLE_MB < <(frame_rate)
    printf 'fire %d min: %s frames/s (%s%% of idle), %s ms of processor and %s MB of console per frame; shots %d; live records %s; resident %s; load %s\n' \
        "$minute" "$RATE" "$(awk -v r="$RATE" -v i="$IDLE" 'BEGIN { printf "%.0f", 100 * r / i }')" \
        "$CPU" "$CONSOLE_MB" "$(($(shots) - STARTING_SHOTS))" "$(live_records)" "$(resident)" "$(load)"
done
xdotool keyup F2
