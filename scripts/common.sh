# Shared by run.sh and test.sh: installs the Debian packages the build needs
# (only those missing, with sudo only when not root) and builds.

# Packages to build the program and run its tests.
BUILD_PACKAGES=(cmake make g++ qt6-base-dev libgtest-dev)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR [cmake options...]
build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCONVDIFF_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}
