# Sourced by play.sh and test.sh: makes sure the Debian packages the game and its tests need are
# there. As root it installs what is missing (one apt-get update, then one apt-get install);
# otherwise it names the missing packages and the command that installs them.

ZEPH_PACKAGES=(
    cmake g++ make pkg-config           # the build
    freeglut3-dev libglu1-mesa-dev      # window, input loop and GLU
    libegl-dev libegl-mesa0 libgl1-mesa-dri # headless OpenGL for the unit tests (Mesa llvmpipe)
    libgtest-dev libbenchmark-dev       # unit tests and benchmark programs
    clang libclang-rt-14-dev            # libFuzzer targets and their sanitizer runtimes
    xvfb xauth x11-utils x11-apps       # a virtual display (xvfb-run needs xauth; xdpyinfo, xwd)
    xdotool imagemagick libstb-dev libx11-dev # whole-program tests: keys, screenshots, PNG decoding
    coreutils                           # stdbuf
)

zeph_missing_packages() {
    local package
    for package in "${ZEPH_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$package"
        fi
    done
}

# Returns non-zero when something is still missing afterwards.
zeph_install_packages() {
    local missing
    mapfile -t missing < <(zeph_missing_packages)
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages: ${missing[*]}" >&2
        echo "install them as root: apt-get update && apt-get install -y ${missing[*]}" >&2
        return 1
    fi
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q || return 1
    apt-get install -y -q "${missing[@]}" </dev/null || return 1
    mapfile -t missing < <(zeph_missing_packages)
    if [ "${#missing[@]}" -ne 0 ]; then
        echo "still missing after apt-get install: ${missing[*]}" >&2
        return 1
    fi
}
