# Sourced by play.sh, test.sh and windows.sh: makes sure the Debian packages they need are
# there. Three sets: what building and playing the game needs, what its tests, benchmarks,
# fuzzers and packaging add, and what the Windows build needs. play.sh asks for the first,
# test.sh for the first two, windows.sh for the first and the third. As root it installs what is
# missing (one apt-get update, then one apt-get install); otherwise it names the missing
# packages and the command that installs them.

ZEPH_PLAY_PACKAGES=(
    cmake g++ make pkg-config           # the build
    freeglut3-dev libglu1-mesa-dev      # window, input loop and GLU
    libgl1-mesa-dri                     # Mesa's OpenGL drivers, llvmpipe included
    libstb-dev                          # the art generator writes the desktop icon with stb
    libx11-dev                          # the window's class, process and icon for the desktop
    x11-utils                           # xdpyinfo: play.sh checks the display first
)

ZEPH_TEST_PACKAGES=(
    libegl-dev libegl-mesa0             # headless OpenGL for the unit tests (Mesa surfaceless)
    libgtest-dev libbenchmark-dev       # unit tests and benchmark programs
    clang libclang-rt-14-dev            # libFuzzer targets and their sanitizer runtimes
    xvfb xauth x11-apps                 # a virtual display (xvfb-run needs xauth; xwd)
    xdotool imagemagick                 # whole-program tests: keys, screenshots
    coreutils                           # stdbuf
    dpkg-dev                            # cpack's Debian package reads library links with it
    lintian appstream desktop-file-utils  # the package's checks: Debian, AppStream, desktop entry
    wine wine64 icoutils                # the Windows build under Wine; wrestool reads its resources
    binutils-mingw-w64-x86-64 googletest  # objdump reads its imports; gtest built for Windows
)

# windows.sh asks for the play set too: its art comes from the game's own build for this machine.
ZEPH_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix          # the cross compilers, windres and the MinGW runtime
    dpkg-dev                            # apt-get source unpacks freeglut with dpkg-source
    nsis                                # makensis: cpack's installer
)

# The packages of the named sets (play, test, windows) that are not installed, one a line.
zeph_missing_packages() {
    local set package list
    for set in "$@"; do
        case $set in
        play) list=("${ZEPH_PLAY_PACKAGES[@]}") ;;
        test) list=("${ZEPH_TEST_PACKAGES[@]}") ;;
        windows) list=("${ZEPH_WINDOWS_PACKAGES[@]}") ;;
        *) echo "deps.sh: no package set named '$set'" >&2; return 1 ;;
        esac
        for package in "${list[@]}"; do
            if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
                printf '%s\n' "$package"
            fi
        done
    done
}

# zeph_install_packages SET...: returns non-zero when a set is unknown or something is still
# missing afterwards.
zeph_install_packages() {
    local list missing=()
    list=$(zeph_missing_packages "$@") || return 1
    if [ -z "$list" ]; then
        return 0
    fi
    mapfile -t missing <<<"$list"
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages: ${missing[*]}" >&2
        echo "install them as root: apt-get update && apt-get install -y ${missing[*]}" >&2
        return 1
    fi
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q || return 1
    apt-get install -y -q "${missing[@]}" </dev/null || return 1
    list=$(zeph_missing_packages "$@") || return 1
    if [ -n "$list" ]; then
        mapfile -t missing <<<"$list"
        echo "still missing after apt-get install: ${missing[*]}" >&2
        return 1
    fi
}
