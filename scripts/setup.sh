# Shared set-up for scripts/run and scripts/test: installs what is missing, then configures and builds.
# Sourced, not run. Idempotent: with everything present it only runs an incremental build.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Build tools, Qt 6, the X server and tools for the real-window tests, ImageMagick as an outside
# reader of saved files, xdg-open for the link's test without a browser, the tools that make and check
# the Debian package (dpkg-shlibdeps needs dpkg-dev and file), the X libraries of the start-up
# benchmark's timer, and free CJK faces that stand in for the commercial ones.
PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev qt6-svg-dev zlib1g-dev
    xvfb xauth x11-utils xdotool xclip imagemagick xdg-utils time
    dpkg-dev file desktop-file-utils appstream lintian
    libx11-dev libxdamage-dev
    fonts-noto-cjk fonts-lxgw-wenkai fonts-arphic-ukai fonts-arphic-uming fonts-dejavu-core
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# configure_and_build BUILD_DIR [extra cmake arguments...]
configure_and_build() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    else
        cmake "$dir" "$@" >/dev/null
    fi
    cmake --build "$dir"
}
