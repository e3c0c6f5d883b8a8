#!/usr/bin/env bash
# Builds the game in build/ and starts it there, where its art resolves as bin/models/... and
# bin/texture/... As root it first installs the Debian packages that building and playing need
# (only when missing); the test tools are test.sh's business.
set -u -o pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
# shellcheck source=scripts/deps.sh
. ./scripts/deps.sh

HOW_TO_GET_ONE='run it under a virtual display: xvfb-run -s "-screen 0 1024x768x24" scripts/play.sh'

if [ -z "${DISPLAY:-}" ]; then
    echo "play.sh: no X display to open the game window on (DISPLAY is not set); $HOW_TO_GET_ONE" >&2
    exit 1
fi

zeph_install_packages play || exit 1

if ! xdpyinfo >/dev/null 2>&1; then
    echo "play.sh: cannot open the X display '$DISPLAY'; $HOW_TO_GET_ONE" >&2
    exit 1
fi

# The game and, once it exists, the art generator that lays out build/bin/.
targets=(zephrandolinth)
if [ -f tools/artgen/CMakeLists.txt ]; then
    targets+=(zephart)
fi
mkdir -p build
# No tests and no benchmarks: their libraries belong to the test set.
if ! cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEPH_TESTS=OFF -DZEPH_TOOLS=OFF \
    >build/configure.log 2>&1 ||
    ! nice cmake --build build -j2 --target "${targets[@]}" >build/build.log 2>&1; then
    tail -n 60 build/configure.log build/build.log
    echo "play.sh: the build failed (logs in build/configure.log and build/build.log)" >&2
    exit 1
fi

cd build
exec ./zephrandolinth "$@"
