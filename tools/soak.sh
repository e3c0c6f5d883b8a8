#!/usr/bin/env bash
# Soak run: the game built with AddressSanitizer plays for a long while under Xvfb, firing
# rockets all the time while random keys turn it, change its speed, fire lasers and switch the
# sky box. Then its window is closed as a window manager would close it, so the game exits
# normally and LeakSanitizer checks what is left at exit. Memory is sampled every 30 s against
# the number of shots fired so far, to report the growth per shot.
#
#   tools/soak.sh [asan build directory, default build-asan] [minutes, default 10]
#
# Not part of the test command: run it by hand. Leaves its logs in <build>/soak/.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build-asan}" && pwd)
MINUTES=${2:-10}
GAME=$BUILD/zephrandolinth
OUT=$BUILD/soak
mkdir -p "$OUT"
rm -f "$OUT"/*

if ! grep -q 'ZEPH_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt" 2>/dev/null; then
    echo "soak: $BUILD is not an AddressSanitizer build (configure it with -DZEPH_SANITIZE=ON)" >&2
    exit 2
fi
nice cmake --build "$BUILD" -j2 --target zephrandolinth zephart >/dev/null

# Closes a window the way a window manager does (WM_DELETE_WINDOW): freeglut then exits(0).
cat >"$OUT/closeWindow.c" <<'EOF'
#include <X11/Xlib.h>
#include <stdlib.h>
int main(int argc, char** argv) {
    Display* display = XOpenDisplay(NULL);
    if (display == NULL || argc < 2) return 1;
    Window target = (Window)strtoul(argv[1], NULL, 10);
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, target, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
EOF
cc -O1 -o "$OUT/closeWindow" "$OUT/closeWindow.c" -lX11

# Counts, in the game's console stream, the collision indexes handed out (one per shot after
# the six of the test scene) and the deaths, and keeps the latest counts in a file.
cat >"$OUT/count.py" <<'EOF'
import sys, time
needles = {"allocations": b"\n premier dispo: ", "deaths": b"\non set un existe a false",
           "hits": b"\n life: ", "bytes": None}
counts = dict.fromkeys(needles, 0)
longest = max(len(n) for n in needles.values() if n)
tail, last = b"", 0.0
status = sys.argv[1]
while True:
    chunk = sys.stdin.buffer.read1(1 << 20)
    if not chunk:
        break
    counts["bytes"] += len(chunk)
    data = tail + chunk
    for name, needle in needles.items():
        if needle:
            counts[name] += data.count(needle) - tail.count(needle)
    tail = data[-(longest - 1):]
    if time.time() - last > 1:
        with open(status, "w") as f:
            f.write(" ".join(f"{k}={v}" for k, v in counts.items()) + "\n")
        last = time.time()
with open(status, "w") as f:
    f.write(" ".join(f"{k}={v}" for k, v in counts.items()) + "\n")
EOF

# Mesa's software driver keeps its drawable buffers to the end, and freeglut unloads the driver
# as it exits, which would leave those reports without a name to tell them by: the driver is
# preloaded so it stays mapped, and its allocations, like those of the other system libraries,
# are set aside. Only the game's own allocations count.
PRELOAD=$(gcc -print-file-name=libasan.so)
for driver in /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so; do
    [ -e "$driver" ] && PRELOAD="$PRELOAD $driver"
done
cat >"$OUT/lsan.supp" <<'EOF'
leak:libGLX
leak:libGLdispatch
leak:libglut
leak:libX11
leak:libxcb
leak:libLLVM
leak:_dri.so
leak:libgallium
leak:libdrm
leak:libexpat
EOF

DISPLAY_NUMBER=$((90 + RANDOM % 100))
while [ -e "/tmp/.X${DISPLAY_NUMBER}-lock" ]; do DISPLAY_NUMBER=$((DISPLAY_NUMBER + 1)); done
export DISPLAY=":$DISPLAY_NUMBER"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
XVFB=$!
cleanup() {
    if [ -e "$OUT/pid" ] && [ ! -e "$OUT/exit-code" ]; then kill "$(cat "$OUT/pid")" 2>/dev/null || true; fi
    kill "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT
sleep 2

cd "$BUILD"
(
    LD_PRELOAD="$PRELOAD" ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
        LSAN_OPTIONS=suppressions=$OUT/lsan.supp "$GAME" 2>"$OUT/stderr.log" &
    echo $! >"$OUT/pid"
    wait $! && status=0 || status=$?
    echo "$status" >"$OUT/exit-code"
) | python3 "$OUT/count.py" "$OUT/counts" &
for _ in $(seq 60); do
    WINDOW=$(xdotool search --name "Zephrandolinth v0.1" 2>/dev/null | head -n 1 || true)
    [ -n "$WINDOW" ] && break
    sleep 1
done
[ -n "${WINDOW:-}" ] || { echo "soak: the game window never appeared" >&2; cat "$OUT/stderr.log" >&2; exit 1; }
GAME_PID=$(cat "$OUT/pid")
xdotool windowfocus "$WINDOW"
echo "soak: game pid $GAME_PID, window $WINDOW, display $DISPLAY, $MINUTES minutes"

rss_kib() { awk '/^VmRSS/ {print $2}' "/proc/$GAME_PID/status" 2>/dev/null || echo 0; }
shots() { sed -E 's/.*allocations=([0-9]+).*/\1/' "$OUT/counts" 2>/dev/null || echo 0; }
echo "seconds rss_kib collision_indexes" >"$OUT/memory.tsv"

KEYS=(Up Down Left Right Prior Next F3 F4)
SECONDS=0 # from here on, seconds of play
END=$((MINUTES * 60))
NEXT_SAMPLE=0
while [ "$SECONDS" -lt "$END" ] && [ ! -e "$OUT/exit-code" ]; do
    # Fire held: a rocket asked for with every burst, beside one random key.
    xdotool key --delay 15 F2 "${KEYS[$((RANDOM % ${#KEYS[@]}))]}" F2 2>/dev/null || true
    if [ "$SECONDS" -ge "$NEXT_SAMPLE" ]; then
        echo "$SECONDS $(rss_kib) $(shots)" >>"$OUT/memory.tsv"
        NEXT_SAMPLE=$((SECONDS + 30))
    fi
done
echo "$SECONDS $(rss_kib) $(shots)" >>"$OUT/memory.tsv"

if [ -e "$OUT/exit-code" ]; then
    echo "soak: the game ended before the time was up (exit $(cat "$OUT/exit-code"))" >&2
else
    "$OUT/closeWindow" "$WINDOW" || true
    for _ in $(seq 120); do [ -e "$OUT/exit-code" ] && break; sleep 1; done
fi
sleep 2
EXIT_CODE=$(cat "$OUT/exit-code" 2>/dev/null || echo "none")
echo "soak: exit code $EXIT_CODE; console counts: $(cat "$OUT/counts")"
if grep -q "ERROR: \(AddressSanitizer\|LeakSanitizer\)" "$OUT/stderr.log"; then
    echo "soak: sanitizer report in $OUT/stderr.log:"
    grep -A20 "ERROR:" "$OUT/stderr.log" | head -n 60
else
    echo "soak: no AddressSanitizer or LeakSanitizer report"
fi
# Growth per shot: the least-squares slope of resident memory against collision numbers handed
# out, over the samples after the first minute of play (start-up and the filling of the
# sanitizer's quarantine are left out).
awk 'NR > 1 && $1 >= 60 { n++; x = $3; y = $2 * 1024; sx += x; sy += y; sxx += x * x; sxy += x * y
                          if (n == 1) { s0 = $1; r0 = $2; x0 = $3 } s1 = $1; r1 = $2; x1 = $3 }
     END { if (n > 2 && x1 > x0) printf "soak: %d shots from %d s to %d s of play; resident memory %d KiB -> %d KiB; %.0f bytes per shot (slope over %d samples)\n", x1 - x0, s0, s1, r0, r1, (n * sxy - sx * sy) / (n * sxx - sx * sx), n;
           else print "soak: too few samples to measure growth against shots" }' "$OUT/memory.tsv"
[ "$EXIT_CODE" = 0 ]
