#!/usr/bin/env bash
# Builds the game and runs every test, on a fresh Debian 12 machine as on a developer's:
#   1. build/       warnings as errors; unit tests and whole-program tests (real window, Xvfb)
#   2. build-asan/  AddressSanitizer + UndefinedBehaviorSanitizer; unit tests, leaks detected
#   3. build-fuzz/  clang + libFuzzer; every fuzz_* target for ZEPH_FUZZ_SECONDS (60) each
#   4. build-windows/  cross-built with MinGW-w64 (scripts/windows.sh); under Wine, its unit
#                   tests, then the whole-program tests of its zip and installer (label wine)
#   5. build-web/   built with Emscripten (scripts/web.sh); the unit tests that need no OpenGL
#                   under Node.js; its page in headless Chromium on
#                   SwiftShader (tests/web/, puppeteer-core from npm), held to the rules model's
#                   console and the Linux game's picture (build/tests/zephrandolinth_webref)
# As root it first installs the Debian packages it needs, the play, test, windows and web sets
# (only when some are missing).
# Exits non-zero when any stage fails; every stage runs regardless, then a summary is printed.
# Named stages (build asan fuzz wine web) run alone: scripts/test.sh web.
set -u -o pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$(pwd)
JOBS=2
FUZZ_SECONDS=${ZEPH_FUZZ_SECONDS:-60}
# shellcheck source=scripts/deps.sh
. "$ROOT/scripts/deps.sh"

WANTED=("$@")
STAGES=()
RESULTS=()
TIMES=()
TESTS_PASSED=0
TESTS_FAILED=0
FAILED=0

record() { # stage-name result seconds
    STAGES+=("$1")
    RESULTS+=("$2")
    TIMES+=("$3")
    if [ "$2" != ok ]; then
        FAILED=1
    fi
}

banner() { printf '\n==== %s ====\n' "$1"; }

# Runs a build step with its output in a log; shows the end of the log when it fails.
logged() { # log-file command...
    local log=$1
    shift
    if "$@" >"$log" 2>&1; then
        return 0
    fi
    echo "---- last lines of $log ----"
    tail -n 80 "$log"
    return 1
}

# Counts test cases, not ctest entries: each entry runs one whole suite of cases in one process.
# ctest runs verbosely into the log, so every case's start and result line is there; a case
# that started and never finished (a crash, a sanitizer report, a timeout) counts as failed,
# and so does an entry that failed before running any case. Skipped cases count as neither.
count_ctest() { # log-file
    local line started passed skipped failed entries_failed
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
    if [ -z "$line" ]; then
        return 1
    fi
    entries_failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
    started=$(grep -cE '^([0-9]+: )?\[ RUN      \] ' "$1")
    passed=$(grep -cE '^([0-9]+: )?\[       OK \] ' "$1")
    skipped=$(grep -cE '^([0-9]+: )?\[  SKIPPED \] [^ ]+ \([0-9]+ ms\)' "$1")
    failed=$((started - passed - skipped))
    if [ "$entries_failed" -gt 0 ] && [ "$failed" -eq 0 ]; then
        failed=$entries_failed
    fi
    TESTS_FAILED=$((TESTS_FAILED + failed))
    TESTS_PASSED=$((TESTS_PASSED + passed))
    [ "$started" -gt 0 ]
}

# The full output goes to the log; the terminal shows each entry's result, every failed case by
# name, and ctest's closing lines.
run_ctest() { # build-dir log-file ctest-args...
    local dir=$1 log=$2
    shift 2
    (cd "$dir" && ctest --verbose -j"$JOBS" "$@") >"$log" 2>&1
    local status=$?
    grep -E '^ *[0-9]+/[0-9]+ Test +#|^([0-9]+: )?\[  FAILED  \] [^ ]+ \([0-9]+ ms\)|tests passed|^Total Test time|^The following tests FAILED|^[[:space:]]+[0-9]+ - ' "$log"
    if [ "$status" -ne 0 ]; then
        echo "(full output in $log)"
    fi
    count_ctest "$log" || status=1
    return "$status"
}

stage_packages() {
    banner "packages"
    local start=$SECONDS
    if zeph_install_packages play test windows web && zeph_install_npm; then
        echo "all packages present"
        record packages ok $((SECONDS - start))
        return 0
    fi
    record packages FAILED $((SECONDS - start))
    return 1
}

stage_main_build() {
    banner "build/: warnings as errors, unit and whole-program tests"
    local start=$SECONDS result=FAILED
    mkdir -p build
    # The Windows build's whole-program tests live here too; the Wine stage runs them.
    if logged build/configure.log cmake -S . -B build -DZEPH_WERROR=ON -DZEPH_TESTS=ON \
        -DZEPH_TOOLS=ON -DZEPH_WINDOWS_BUILD="$ROOT/build-windows" &&
        logged build/build.log nice cmake --build build -j"$JOBS"; then
        echo "built build/"
        if run_ctest build build/ctest.log -LE wine; then
            result=ok
        fi
    fi
    record "build/ (unit + e2e)" "$result" $((SECONDS - start))
}

stage_sanitized_build() {
    banner "build-asan/: AddressSanitizer + UndefinedBehaviorSanitizer, unit tests"
    local start=$SECONDS result=FAILED
    mkdir -p build-asan
    if logged build-asan/configure.log cmake -S . -B build-asan -DZEPH_SANITIZE=ON \
        -DZEPH_WERROR=ON -DZEPH_TOOLS=OFF &&
        logged build-asan/build.log nice cmake --build build-asan -j"$JOBS"; then
        echo "built build-asan/"
        if ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1 \
            UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            run_ctest build-asan build-asan/ctest.log -L unit; then
            result=ok
        fi
    fi
    record "build-asan/ (unit)" "$result" $((SECONDS - start))
}

# One fuzz target on a scratch copy of its seeds: the repository's corpus is only read.
run_fuzzer() { # target
    local target=$1
    local exe=build-fuzz/fuzz/$target
    local seeds=$ROOT/fuzz/corpus/$target
    local scratch=build-fuzz/scratch/$target
    local artifacts=build-fuzz/artifacts/$target
    local log=build-fuzz/logs/$target.log
    rm -rf "$scratch"
    mkdir -p "$scratch" "$artifacts" build-fuzz/logs
    if [ -d "$seeds" ]; then
        cp -R "$seeds/." "$scratch/"
    fi
    echo "fuzzing $target for ${FUZZ_SECONDS}s ($(find "$scratch" -type f | wc -l) seeds)"
    if "$exe" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$scratch" >"$log" 2>&1 </dev/null; then
        grep -E '^(Done|#[0-9]+.*DONE)' "$log" | tail -n 1
        return 0
    fi
    echo "$target FAILED; its failing input is kept in $artifacts/"
    tail -n 60 "$log"
    return 1
}

stage_fuzz() {
    banner "build-fuzz/: libFuzzer targets, ${FUZZ_SECONDS}s each"
    local start=$SECONDS result=ok targets=() source target
    for source in fuzz/fuzz_*.cpp; do
        [ -e "$source" ] && targets+=("$(basename "$source" .cpp)")
    done
    if [ "${#targets[@]}" -eq 0 ]; then
        echo "no fuzz targets yet"
        record "build-fuzz/ (no targets)" ok $((SECONDS - start))
        return 0
    fi
    mkdir -p build-fuzz
    if ! logged build-fuzz/configure.log env CC=clang CXX=clang++ cmake -S . -B build-fuzz \
        -DZEPH_FUZZ=ON -DZEPH_TESTS=OFF -DZEPH_TOOLS=OFF ||
        ! logged build-fuzz/build.log nice cmake --build build-fuzz -j"$JOBS" --target "${targets[@]}"; then
        record "build-fuzz/ (build)" FAILED $((SECONDS - start))
        return 1
    fi
    for target in "${targets[@]}"; do
        run_fuzzer "$target" || result=FAILED
    done
    record "build-fuzz/ (${#targets[@]} targets)" "$result" $((SECONDS - start))
}

# One Wine prefix for the whole stage, made afresh: no .NET or HTML engine to offer, no menu
# entries written into the desktop of whoever runs this, UTF-8 file names and command lines.
stage_wine() {
    banner "build-windows/: Wine"
    local start=$SECONDS result=FAILED
    local -x WINEPREFIX=$ROOT/build-windows/wine-prefix WINEDEBUG=-all LC_ALL=C.UTF-8 \
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    mkdir -p build-windows build
    # The whole-program tests of the Windows build are in build/'s (up to date after stage 1).
    if logged build-windows/windows.log env ZEPH_WINDOWS_TESTS=1 ZEPH_JOBS="$JOBS" \
        scripts/windows.sh &&
        logged build-windows/e2e-configure.log cmake -S . -B build -DZEPH_WERROR=ON \
            -DZEPH_TESTS=ON -DZEPH_TOOLS=ON -DZEPH_WINDOWS_BUILD="$ROOT/build-windows" &&
        logged build-windows/e2e-build.log nice cmake --build build -j"$JOBS" \
            --target zephrandolinth_e2e; then
        echo "built build-windows/"
        rm -rf "$WINEPREFIX"
        if logged build-windows/wineboot.log wineboot -i && wineserver -w; then
            # Both ctest runs, each case counted, whichever fails. The unit suites start two at
            # a time on a server that stays up, so none meets one that is ending, with Wine's
            # services already running (started by a program of ours, they would hold ctest's
            # output open); the whole-program tests end it themselves, to learn when an
            # uninstaller is done.
            result=ok
            wineserver -p >/dev/null 2>&1 && wine cmd /c exit >/dev/null 2>&1 </dev/null
            run_ctest build-windows build-windows/ctest.log -L unit || result=FAILED
            wineserver -k 2>/dev/null && wineserver -w
            run_ctest build build-windows/ctest-wine.log -L wine || result=FAILED
        fi
        wineserver -k 2>/dev/null
    fi
    record "build-windows/ (Wine)" "$result" $((SECONDS - start))
}

# Counts the cases of node's test runner from its TAP summary (a case cancelled because a hook
# failed counts as failed); every failed case is shown.
run_node_tests() { # directory log-file test-files...
    local dir=$1 log=$2 passed failed cancelled
    shift 2
    (cd "$dir" && node --test --test-reporter=tap "$@") >"$log" 2>&1
    local status=$?
    grep -E '^# (tests|pass|fail|cancelled|duration_ms) |^not ok ' "$log"
    passed=$(sed -nE 's/^# pass ([0-9]+)$/\1/p' "$log" | tail -n 1)
    failed=$(sed -nE 's/^# fail ([0-9]+)$/\1/p' "$log" | tail -n 1)
    cancelled=$(sed -nE 's/^# cancelled ([0-9]+)$/\1/p' "$log" | tail -n 1)
    failed=$((${failed:-0} + ${cancelled:-0}))
    if [ -z "$passed" ]; then
        echo "(no summary from node's test runner: full output in $log)"
        TESTS_FAILED=$((TESTS_FAILED + 1))
        return 1
    fi
    TESTS_PASSED=$((TESTS_PASSED + passed))
    TESTS_FAILED=$((TESTS_FAILED + failed))
    if [ "$status" -ne 0 ] || [ "$failed" -gt 0 ]; then
        echo "(full output in $log)"
        return 1
    fi
}

# The browser build, its unit tests under Node.js (web.sh runs them once as it builds them; the
# counted run is ctest's, verbose) and its page. The Linux references come from build/ (the same
# configuration as stage 1, so nothing there is built twice), the browser tests' one package from
# npm's lock.
stage_web() {
    banner "build-web/: unit tests under Node.js, the page in headless Chromium"
    local start=$SECONDS result=FAILED
    mkdir -p build-web build
    if logged build-web/web.log env ZEPH_JOBS="$JOBS" scripts/web.sh --unit-tests; then
        echo "built build-web/; the site: $(du -sk build-web/site | cut -f1) KiB"
        result=ok
    fi
    # Counted even when web.sh stopped at a failing suite; a build that failed has none to run.
    if [ -f build-web/nodetests/CTestTestfile.cmake ]; then
        run_ctest build-web/nodetests build-web/nodetests-ctest.log -L unit || result=FAILED
    fi
    if [ "$result" = ok ] &&
        logged build/webref-configure.log cmake -S . -B build -DZEPH_WERROR=ON -DZEPH_TESTS=ON \
            -DZEPH_TOOLS=ON -DZEPH_WINDOWS_BUILD="$ROOT/build-windows" &&
        logged build/webref-build.log nice cmake --build build -j"$JOBS" \
            --target zephrandolinth_webref &&
        logged build-web/npm.log npm ci --prefix tests/web --no-audit --no-fund; then
        run_node_tests tests/web "$ROOT/build-web/browser.log" page.test.js || result=FAILED
    else
        result=FAILED
    fi
    record "build-web/ (Node.js, browser)" "$result" $((SECONDS - start))
}

summary() {
    banner "summary"
    local i
    for i in "${!STAGES[@]}"; do
        printf '%-28s %-7s %4ss\n' "${STAGES[$i]}" "${RESULTS[$i]}" "${TIMES[$i]}"
    done
    printf '%-28s %-7s %4ss\n' "total" "" "$SECONDS"
    echo "tests: $TESTS_PASSED passed, $TESTS_FAILED failed"
}

wanted() { # stage: true when no stage is named or this one is
    [ "${#WANTED[@]}" -eq 0 ] || [[ " ${WANTED[*]} " == *" $1 "* ]]
}

for stage in "${WANTED[@]}"; do
    case $stage in
    build | asan | fuzz | wine | web) ;;
    *) echo "test.sh: no stage named '$stage' (build asan fuzz wine web)" >&2 && exit 2 ;;
    esac
done
if stage_packages; then
    wanted build && stage_main_build
    wanted asan && stage_sanitized_build
    wanted fuzz && stage_fuzz
    wanted wine && stage_wine
    wanted web && stage_web
fi
summary
exit "$FAILED"
