#!/usr/bin/env bash
# Builds the game for a web page on Debian 12, all in build-web/:
#   site/                          the page any static server serves as it is: index.html,
#                                  page.js, page.css (sys/web/page/), favicon.png, and the game:
#                                  zephrandolinth.js, .wasm and .data (its art, preloaded)
#   zephrandolinth-0.1-web.zip     that folder
# As root it first installs the Debian packages it lacks (deps.sh's play and web sets). The art
# is made by a build for this machine in build-web/host/ (its art generator alone), so the page
# reads the same bytes as the Linux and Windows games; Emscripten builds the game in
# build-web/game/. Run again, it rebuilds only what changed.
#   scripts/web.sh --serve [PORT]   builds, then serves the site on 127.0.0.1 (port 8080)
#   scripts/web.sh --unit-tests      builds, then builds the unit tests that need no OpenGL
#                                    with Emscripten (build-web/nodetests/) and runs them under
#                                    Node.js; its exit status is theirs
set -u -o pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$PWD
# shellcheck source=scripts/deps.sh
. ./scripts/deps.sh
ZEPH_SCRIPT=web.sh
# shellcheck source=scripts/buildSteps.sh
. ./scripts/buildSteps.sh

OUT=$ROOT/build-web
HOST=$OUT/host
GAME=$OUT/game
NODETESTS=$OUT/nodetests
SITE=$OUT/site
PAGE=$ROOT/sys/web/page
ZIP=$OUT/zephrandolinth-0.1-web.zip
JOBS=${ZEPH_JOBS:-$(nproc)}
# The icon the page shows in its tab, from the sizes the generator draws.
FAVICON=icon/hicolor/48x48/apps/zephrandolinth.png
# Debian's Emscripten runs its optimiser under this machine's Node.js, which finds the modules
# it needs (acorn) only in Debian's own folder.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

usage() {
    echo "usage: scripts/web.sh [--serve [PORT] | --unit-tests]" >&2
    exit 2
}

SERVE=0
UNIT=0
PORT=8080
while [ $# -gt 0 ]; do
    case $1 in
    --serve)
        SERVE=1
        if [ $# -gt 1 ] && [[ $2 =~ ^[0-9]+$ ]]; then
            PORT=$2
            shift
        fi
        ;;
    --unit-tests) UNIT=1 ;;
    *) usage ;;
    esac
    shift
done
[ "$PORT" -ge 1 ] && [ "$PORT" -le 65535 ] || fail "no port $PORT: give one from 1 to 65535"
[ "$SERVE" = 0 ] || [ "$UNIT" = 0 ] || usage

zeph_install_packages play web || fail "the packages above are needed"
[ -f "$PAGE/index.html" ] || fail "no page in $PAGE (index.html): the site needs one"
mkdir -p "$OUT"

echo "== the art, by a build for this machine ($HOST)"
build_host_art "$HOST" "$OUT/host.log" "$JOBS"

echo "== the game, by Emscripten ($GAME)"
if ! configured "$GAME"; then
    run "$OUT/game.log" "configuring $GAME" emcmake cmake -S "$ROOT" -B "$GAME" \
        -DCMAKE_BUILD_TYPE=Release -DZEPH_WERROR=ON -DZEPH_TESTS=OFF -DZEPH_TOOLS=OFF \
        -DZEPH_HOST_ART_DIR="$HOST"
fi
run "$OUT/game.log" "building the game" nice cmake --build "$GAME" --target zephrandolinth \
    -j"$JOBS"

echo "== the site ($SITE)"
mkdir -p "$SITE"
# copy SOURCE NAME: into the site under NAME, only when it changed (so the zip is remade only
# then too).
copy() {
    cmp -s "$1" "$SITE/$2" || cp "$1" "$SITE/$2" || fail "cannot copy $1 into $SITE"
}
for file in "$PAGE"/*; do
    [ -f "$file" ] && copy "$file" "$(basename "$file")"
done
copy "$HOST/$FAVICON" favicon.png
for suffix in js wasm data; do
    copy "$GAME/zephrandolinth.$suffix" "zephrandolinth.$suffix"
done
if [ ! -f "$ZIP" ] || [ -n "$(find "$SITE" -newer "$ZIP" -print -quit)" ]; then
    rm -f "$ZIP"
    (cd "$OUT" && run "$OUT/zip.log" "zipping the site" zip -q -r -X "$ZIP" site) || exit 1
fi
ls -l "$SITE" | awk 'NR > 1 { printf "   %9d  %s\n", $5, $9 }'
echo "   $(du -sb "$SITE" | cut -f1) bytes in all; $(stat -c %s "$ZIP") bytes zipped: $ZIP"

if [ "$UNIT" = 1 ]; then
    echo "== the unit tests under Node.js ($NODETESTS)"
    if ! configured "$NODETESTS"; then
        run "$OUT/nodetests.log" "configuring $NODETESTS" emcmake cmake -S "$ROOT" -B "$NODETESTS" \
            -DCMAKE_BUILD_TYPE=Release -DZEPH_WERROR=ON -DZEPH_TESTS=ON -DZEPH_TOOLS=OFF \
            -DZEPH_HOST_ART_DIR="$HOST"
    fi
    run "$OUT/nodetests.log" "building the unit tests" nice cmake --build "$NODETESTS" \
        --target zephrandolinth_nodetests -j"$JOBS"
    (cd "$NODETESTS" && ctest --output-on-failure -j"$JOBS") || fail "unit tests under Node.js failed"
fi

if [ "$SERVE" = 1 ]; then
    echo "Serving $SITE at http://127.0.0.1:$PORT/ (Ctrl-C stops)"
    exec python3 -m http.server "$PORT" --bind 127.0.0.1 --directory "$SITE"
fi
