#!/usr/bin/env bash
# Builds the game for 64-bit Windows on Debian 12 and packs it, all in build-windows/:
#   zephrandolinth.exe               the game, its art beside it in bin/ (runs from there)
#   zephrandolinth-0.1-win64.zip     the portable folder: the game, its art, README, licence
#   zephrandolinth-0.1-win64.exe     the installer
# As root it first installs the Debian packages it lacks (deps.sh's play and windows sets).
# freeglut is Debian's own source package, fetched through an apt configuration of the build's
# own in build-windows/freeglut/apt/ (a deb-src line for the archive this machine's deb lines
# name; the machine's apt lists stay as they are), cross-built as a static library and linked
# in, with the C and C++ runtimes. The art is made by a build for this machine in build-windows/host/ (its
# art generator alone), so both systems read the same bytes. Run again, it rebuilds only what
# changed. With ZEPH_WINDOWS_TESTS=1 the cross build also builds the test suites.
set -u -o pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$PWD
# shellcheck source=scripts/deps.sh
. ./scripts/deps.sh
ZEPH_SCRIPT=windows.sh
# shellcheck source=scripts/buildSteps.sh
. ./scripts/buildSteps.sh

OUT=$ROOT/build-windows
HOST=$OUT/host
FREEGLUT=$OUT/freeglut
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
JOBS=${ZEPH_JOBS:-$(nproc)}
PACKAGES=(zephrandolinth-0.1-win64.zip zephrandolinth-0.1-win64.exe)
if [ "${ZEPH_WINDOWS_TESTS:-0}" = 1 ]; then TESTS=ON; else TESTS=OFF; fi

# The machine's deb lines for its release's own suite (not -updates, -security or another
# vendor's archive), given back as deb-src lines; from the one-line lists and the deb822 ones.
source_lines() {
    local codename=$1 file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -r "$file" ] || continue
        sed -e 's/#.*//' "$file" | awk -v suite="$codename" '
            $1 == "deb" {
                options = ""; i = 2
                if ($2 ~ /^\[/) {
                    while (i < NF && $i !~ /\]$/) { options = options $i " "; i++ }
                    options = options $i " "; i++
                }
                if ($(i + 1) == suite) {
                    line = "deb-src " options $i
                    for (j = i + 1; j <= NF; j++) line = line " " $j
                    print line
                }
            }'
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -r "$file" ] || continue
        awk -v suite="$codename" '
            function stanza(   n, m, a, b, s, u) {
                if (types ~ /(^| )deb( |$)/ && enabled != "no") {
                    n = split(suites, s, " "); m = split(uris, u, " ")
                    for (a = 1; a <= m; a++) for (b = 1; b <= n; b++) if (s[b] == suite)
                        print "deb-src " (key != "" ? "[signed-by=" key "] " : "") u[a] " " s[b] " " components
                }
                types = uris = suites = components = key = enabled = ""
            }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { stanza(); next }
            /^[ \t]/ { next }
            {
                field = tolower($1); sub(/:$/, "", field)
                value = $0; sub(/^[^:]*:[ \t]*/, "", value)
                if (field == "types") types = value
                else if (field == "uris") uris = value
                else if (field == "suites") suites = value
                else if (field == "components") components = value
                else if (field == "signed-by") key = value ~ /^\// ? value : ""
                else if (field == "enabled") enabled = tolower(value)
            }
            END { stanza() }' "$file"
    done
}

# Debian's freeglut source, unpacked under $FREEGLUT/src once; prints its directory.
freeglut_source() {
    local apt=$FREEGLUT/apt src=$FREEGLUT/src codename dir
    if [ -f "$src/done" ]; then
        echo "$src/$(cat "$src/done")"
        return
    fi
    # shellcheck source=/dev/null
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$codename" ] || fail "/etc/os-release names no release (VERSION_CODENAME)"
    rm -rf "$apt" "$src"
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$src"
    source_lines "$codename" >"$apt/sources.list"
    [ -s "$apt/sources.list" ] ||
        fail "no deb line for '$codename' in /etc/apt/sources.list or /etc/apt/sources.list.d/"
    {
        echo "Dir::Etc::SourceList \"$apt/sources.list\";"
        echo "Dir::Etc::SourceParts \"$apt/sources.list.d\";"
        echo "Dir::State::Lists \"$apt/lists\";"
        echo "Dir::Cache \"$apt/cache\";"
        # apt's download user cannot write into a build folder; as root it is not needed.
        [ "$(id -u)" -ne 0 ] || echo 'APT::Sandbox::User "root";'
    } >"$apt/apt.conf"
    run "$FREEGLUT/fetch.log" "apt-get update (for $apt/sources.list)" \
        apt-get -c "$apt/apt.conf" -q update
    (cd "$src" && run "$FREEGLUT/fetch.log" "apt-get source freeglut" \
        apt-get -c "$apt/apt.conf" -q source freeglut) || exit 1
    dir=$(find "$src" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*' | head -n 1)
    [ -n "$dir" ] || fail "apt-get source unpacked no freeglut-* folder in $src"
    basename "$dir" >"$src/done" # the name alone: the build folder may move
    echo "$dir"
}

# True when a package is missing or older than a file it holds. Files only: configuring
# touches the folders it writes into even when no file in them changes.
packages_stale() {
    local package
    for package in "${PACKAGES[@]}"; do
        [ -f "$OUT/$package" ] || return 0
        if [ -n "$(find "$OUT/zephrandolinth.exe" "$OUT/bin" "$OUT/packaging" "$OUT/icon" \
            "$OUT/CPackConfig.cmake" -type f -newer "$OUT/$package" -print -quit)" ]; then
            return 0
        fi
    done
    return 1
}

zeph_install_packages play windows || exit 1
mkdir -p "$OUT" "$FREEGLUT"

echo "windows.sh: art, by a build for this machine in $HOST"
build_host_art "$HOST" "$OUT/host.log" "$JOBS"

echo "windows.sh: freeglut, from Debian's source package, in $FREEGLUT"
source_dir=$(freeglut_source) || exit 1
if ! configured "$FREEGLUT/build"; then
    run "$FREEGLUT/build.log" "configuring freeglut" \
        cmake -S "$source_dir" -B "$FREEGLUT/build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$FREEGLUT/install" \
        -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_DEMOS=OFF
fi
run "$FREEGLUT/build.log" "building freeglut" cmake --build "$FREEGLUT/build" -j "$JOBS"
run "$FREEGLUT/build.log" "installing freeglut" cmake --install "$FREEGLUT/build"

echo "windows.sh: the game in $OUT"
run "$OUT/configure.log" "configuring $OUT" \
    cmake -S "$ROOT" -B "$OUT" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_FIND_ROOT_PATH="$FREEGLUT/install" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZEPH_HOST_ART_DIR="$HOST" -DZEPH_TESTS="$TESTS" -DZEPH_TOOLS=OFF
run "$OUT/build.log" "building $OUT" cmake --build "$OUT" -j "$JOBS"

if packages_stale; then
    echo "windows.sh: the zip and the installer"
    rm -f "${PACKAGES[@]/#/$OUT/}"
    (cd "$OUT" && run "$OUT/package.log" "cpack" cpack --config CPackConfig.cmake) || exit 1
fi
for package in "${PACKAGES[@]}"; do
    [ -f "$OUT/$package" ] || fail "cpack made no $OUT/$package; see $OUT/package.log"
    echo "windows.sh: $OUT/$package"
done
