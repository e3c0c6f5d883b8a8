#!/usr/bin/env bash
# The game in a browser against the native game, in one run on this machine: the native game's
# idle frame rate and its rate during 35 s of five rockets a second (pressFire.sh, --quiet, on
# Xvfb with Mesa's llvmpipe), then the page's with its loop uncapped (webPressFire.js, headless
# Chromium on SwiftShader), the two side by side as ratios (the page's share of the native
# rate; the aim is at least 0.5). Also the site's size (the aim: 3 MB at most) and the time from
# opening the page on loopback to its first frame (the aim: 3 s at most).
#   tools/bench/webFps.sh [build directory] [site directory]
# Needs the native build (build/ with its art) and the site (scripts/web.sh), and tests/web's
# npm packages (npm ci --prefix tests/web).
set -euo pipefail
BENCH=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BUILD=${1:-build}
SITE=$(cd "${2:-build-web/site}" && pwd)

# The figure after a label in a line: "idle 41.2 frames/s" gives 41.2 for "idle".
figure() { sed -nE "s/.*$1 ([0-9.]+) .*/\1/p" <<<"$2"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

echo "== the native game (pressFire.sh, --quiet)"
NATIVE=$("$BENCH/pressFire.sh" "$BUILD" quiet)
echo "$NATIVE"
NATIVE=$(tail -n 1 <<<"$NATIVE")
NATIVE_IDLE=$(figure "idle" "$NATIVE")
NATIVE_FIRE=$(figure "every 0.2 s:" "$NATIVE")

echo "== the page (webPressFire.js, ?uncapped)"
PAGE=$(ZEPH_WEB_SITE=$SITE node "$BENCH/webPressFire.js")
echo "$PAGE"
PAGE=$(tail -n 1 <<<"$PAGE")
PAGE_IDLE=$(figure "idle" "$PAGE")
PAGE_FIRE=$(figure "fire" "$PAGE")
FIRST_FRAME=$(figure "first frame" "$PAGE")

echo "== the site ($SITE)"
(cd "$SITE" && find . -type f -printf '%s\t%f\n' | sort -k2)
SITE_BYTES=$(find "$SITE" -type f -printf '%s\n' | awk '{ total += $1 } END { print total }')

echo "== side by side"
printf 'idle:          page %s, native %s frames/s: ratio %s\n' "$PAGE_IDLE" "$NATIVE_IDLE" \
    "$(ratio "$PAGE_IDLE" "$NATIVE_IDLE")"
printf 'five rockets/s: page %s, native %s frames/s: ratio %s\n' "$PAGE_FIRE" "$NATIVE_FIRE" \
    "$(ratio "$PAGE_FIRE" "$NATIVE_FIRE")"
printf 'site: %s bytes (%.2f MB; aim 3 MB at most)\n' "$SITE_BYTES" \
    "$(awk -v b="$SITE_BYTES" 'BEGIN { print b / 1e6 }')"
printf 'first frame: %s ms after opening the page on loopback (aim 3000 at most)\n' "$FIRST_FRAME"
