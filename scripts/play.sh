#!/usr/bin/env bash
# Builds the game in build-play/ and starts it there, where its art resolves as bin/models/...
# and bin/texture/... build/ belongs to the test command: the two never share a build cache.
# As root it first installs the Debian packages that building and playing need (only when
# missing); the test tools are test.sh's business. Arguments go to the game (and on to GLUT).
# --help and --version need no display: they go straight to the game, built first only when
# there is no build yet. ZEPH_PLAY_BUILD names another build directory (the tests point it at
# theirs, which must not be reconfigured).
set -u -o pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
# shellcheck source=scripts/deps.sh
. ./scripts/deps.sh

HOW_TO_GET_ONE='run it under a virtual display: xvfb-run -s "-screen 0 1024x768x24" scripts/play.sh'
BUILD=${ZEPH_PLAY_BUILD:-build-play}

# The display the game will open: the one GLUT's -display names (the last, as GLUT reads them),
# else DISPLAY. And whether the game only answers --help or --version: it reads its options up
# to "--", and never in the value of -display or -geometry.
display=${DISPLAY:-}
answers_only=false
options=true
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
    case ${args[i]} in
    --) options=false ;;
    --help | --version) $options && answers_only=true ;;
    -display | -geometry)
        if ((i + 1 < ${#args[@]})); then
            [ "${args[i]}" = -display ] && display=${args[i + 1]}
            i=$((i + 1))
        fi
        ;;
    esac
done

if $answers_only && [ -x "$BUILD/zephrandolinth" ]; then
    exec "$BUILD/zephrandolinth" "$@"
fi
if ! $answers_only && [ -z "$display" ]; then
    echo "play.sh: no X display to open the game window on (DISPLAY is not set and no -display" \
        "names one); $HOW_TO_GET_ONE" >&2
    exit 1
fi

zeph_install_packages play || exit 1

if ! $answers_only && ! xdpyinfo -display "$display" >/dev/null 2>&1; then
    echo "play.sh: cannot open the X display '$display'; $HOW_TO_GET_ONE" >&2
    exit 1
fi

mkdir -p "$BUILD"
# No tests and no benchmarks: their libraries belong to the test set. Warnings do not stop a
# player's build.
if ! cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEPH_TESTS=OFF -DZEPH_TOOLS=OFF \
    -DZEPH_WERROR=OFF >"$BUILD/configure.log" 2>&1 ||
    ! nice cmake --build "$BUILD" -j2 --target zephrandolinth zephart >"$BUILD/build.log" 2>&1; then
    tail -n 60 "$BUILD/configure.log" "$BUILD/build.log"
    echo "play.sh: the build failed (logs in $BUILD/configure.log and $BUILD/build.log)" >&2
    exit 1
fi

cd "$BUILD" || exit 1
exec ./zephrandolinth "$@"
