# shellcheck shell=bash
# Shared by run-client.sh and run-tests.sh: dependency check and build.
# Sourced, not run; expects to be called from the repository root.

BUILD_DIR="${BUILD_DIR:-build}"

REQUIRED_PACKAGES=(
    build-essential
    cmake
    qtbase5-dev
    qtbase5-dev-tools
    libqt5sql5-sqlite
    libqt5svg5-dev
    libzxcvbn-dev
    libsodium-dev
    pkg-config
    xvfb
    xauth
    xdotool
    qttools5-dev
    qttools5-dev-tools
    fonts-wqy-microhei
    clazy
)

# Installs the Debian packages that are not installed yet; does nothing (and
# needs no network or root) when everything is already there.
install_missing_packages() {
    if ! command -v dpkg-query >/dev/null 2>&1; then
        echo "dpkg-query not found: install the equivalents of ${REQUIRED_PACKAGES[*]} by hand." >&2
        return 0
    fi

    local missing=() pkg
    for pkg in "${REQUIRED_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi

    local sudo=()
    if [[ "$(id -u)" -ne 0 ]]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}
