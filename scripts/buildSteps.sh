# Sourced by windows.sh and web.sh: the steps both builds take. The sourcing script sets
# ZEPH_SCRIPT (its name, for messages) and ROOT (the repository) first.

fail() {
    echo "$ZEPH_SCRIPT: $*" >&2
    exit 1
}

# run LOG WHAT COMMAND...: the command's output goes to LOG; on failure its end is shown.
run() {
    local log=$1 what=$2
    shift 2
    if ! "$@" >>"$log" 2>&1; then
        tail -n 30 "$log" >&2
        fail "$what failed; the whole output is in $log"
    fi
}

# True when cmake has written a build system in the folder. Not its cache alone: cmake writes
# CMakeCache.txt before it fails to configure, and a build then finds no Makefile to run.
configured() {
    [ -f "$1/Makefile" ] || [ -f "$1/build.ninja" ]
}

# build_host_art HOST LOG JOBS: the art, by the generator of a build for this machine in HOST,
# built as the Linux game's own build is, so every system's game reads the same bytes.
build_host_art() {
    local host=$1 log=$2 jobs=$3
    if ! configured "$host"; then
        run "$log" "configuring $host" cmake -S "$ROOT" -B "$host" \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEPH_TESTS=OFF -DZEPH_TOOLS=OFF
    fi
    run "$log" "generating the art in $host" nice cmake --build "$host" --target zephart -j"$jobs"
}
