# Shared by the benchmark scripts that play the real game (heldFire.sh, pressFire.sh); sourced,
# not run. The game runs on its own Xvfb display with frameTally.cpp preloaded, which counts its
# frames and shots without reading its console, so every way of starting it is measured alike:
#   file   the console to a file (its bytes per frame are reported; the file's blocks are freed
#          as it grows, so minutes of fire take no disk)
#   quiet  --quiet; a build that has no such option gets its stdout on /dev/null instead
#   null   the console to /dev/null
# Works on a build of any commit: nothing here needs the game to cooperate.

BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

bench_setup() { # build directory
    BUILD=$(cd "$1" && pwd)
    [ -x "$BUILD/zephrandolinth" ] || { echo "build $BUILD/zephrandolinth first" >&2; exit 1; }
    [ -d "$BUILD/bin/models" ] || { echo "generate the art into $BUILD/bin first" >&2; exit 1; }
    SCRATCH=$(mktemp -d)
    XVFB_PID=
    GAME_PID=
    HOLE_PID=
    trap bench_cleanup EXIT
    c++ -shared -fPIC -O2 -o "$SCRATCH/frameTally.so" "$BENCH_DIR/frameTally.cpp" -ldl -lX11
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$SCRATCH/display" 2>"$SCRATCH/xvfb.log" &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$SCRATCH/display" ] && break; sleep 0.1; done
    [ -s "$SCRATCH/display" ] || { echo "Xvfb did not start" >&2; cat "$SCRATCH/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$(head -n 1 "$SCRATCH/display")"
    # An old build prints its banner and stops (no display) where a new one prints its version.
    if [ "$(env -u DISPLAY "$BUILD/zephrandolinth" --version 2>/dev/null)" = "Zephrandolinth 0.1" ]; then
        HAS_QUIET=1
    else
        HAS_QUIET=0
    fi
    echo "machine: $(nproc) cores;$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2); load average $(load)"
    echo "game: $BUILD/zephrandolinth on $DISPLAY"
}

bench_cleanup() {
    stop_game
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
    rm -rf "$SCRATCH"
}

# What start_game $1 runs, in words.
way_name() {
    case "$1" in
    file) echo "console to a file" ;;
    quiet) if [ "$HAS_QUIET" = 1 ]; then echo "--quiet"; else echo "console to /dev/null (this build has no --quiet)"; fi ;;
    null) echo "console to /dev/null" ;;
    esac
}

start_game() { # file | quiet | null
    local out=/dev/null
    local args=()
    CONSOLE=
    case "$1" in
    file) CONSOLE=$SCRATCH/console; out=$CONSOLE ;;
    quiet) if [ "$HAS_QUIET" = 1 ]; then args=(--quiet); fi ;;
    null) ;;
    *) echo "unknown way $1 (file, quiet or null)" >&2; exit 2 ;;
    esac
    TALLY=$SCRATCH/tally.$1
    rm -f "$TALLY"
    (cd "$BUILD" && ZEPH_FRAME_TALLY=$TALLY LD_PRELOAD=$SCRATCH/frameTally.so exec ./zephrandolinth "${args[@]}") \
        >"$out" 2>"$SCRATCH/stderr" &
    GAME_PID=$!
    local window
    window=$(xdotool search --sync --onlyvisible --name 'Zephrandolinth v0.1' | head -n 1)
    xdotool windowfocus --sync "$window"
    if [ -n "$CONSOLE" ]; then
        # The console is written, then its blocks are freed: its size still counts every byte.
        (while sleep 5; do fallocate --punch-hole --offset 0 --length "$(stat -c %s "$CONSOLE")" "$CONSOLE" 2>/dev/null || true; done) &
        HOLE_PID=$!
    fi
}

stop_game() {
    if [ -n "$HOLE_PID" ]; then kill "$HOLE_PID" 2>/dev/null || true; wait "$HOLE_PID" 2>/dev/null || true; fi
    if [ -n "$GAME_PID" ]; then kill "$GAME_PID" 2>/dev/null || true; wait "$GAME_PID" 2>/dev/null || true; fi
    HOLE_PID=
    GAME_PID=
}

frames() { od -An -tu8 -w16 "$TALLY" | awk '{ print $1 + 0 }'; }
shots() { od -An -tu8 -w16 "$TALLY" | awk '{ print $2 + 0 }'; }
console_size() { if [ -n "$CONSOLE" ]; then stat -c %s "$CONSOLE"; else echo 0; fi; }
# Processor time the game has used so far (all its threads, Mesa's rasteriser included), in
# clock ticks: the steadier figure on a shared machine.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
# Page faults the game has taken so far (minor ones: memory handed out again by the kernel).
page_faults() { awk '{ print $10 }' "/proc/$GAME_PID/stat"; }
resident() { awk '/VmRSS/ { printf "%d MiB", $2 / 1024 }' "/proc/$GAME_PID/status"; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

# Over the next $1 seconds: frames per second, processor milliseconds per frame, console bytes
# per frame, page faults per frame.
frame_rate() {
    local frames0 bytes0 ticks0 faults0 start end
    frames0=$(frames)
    bytes0=$(console_size)
    ticks0=$(cpu_ticks)
    faults0=$(page_faults)
    start=$(date +%s.%N)
    sleep "$1"
    end=$(date +%s.%N)
    awk -v n="$(($(frames) - frames0))" -v s="$start" -v e="$end" \
        -v t="$(($(cpu_ticks) - ticks0))" -v hz="$(getconf CLK_TCK)" \
        -v bytes="$(($(console_size) - bytes0))" -v faults="$(($(page_faults) - faults0))" \
        'BEGIN { printf("%.1f %.1f %.0f %.0f\n", n / (e - s), (n > 0 ? 1000 * t / hz / n : 0),
                        (n > 0 ? bytes / n : 0), (n > 0 ? faults / n : 0)) }'
}

# $1 as a percentage of $2.
share() { awk -v r="$1" -v i="$2" 'BEGIN { printf "%.0f", (i > 0 ? 100 * r / i : 0) }'; }

# Console bytes per frame in words: megabytes once they are that many.
bytes_per_frame() {
    if [ -z "$CONSOLE" ]; then echo "no console file"; return; fi
    awk -v b="$1" 'BEGIN { if (b >= 1e6) printf "%.2f MB of console per frame", b / 1e6;
                           else printf "%.0f bytes of console per frame", b }'
}
