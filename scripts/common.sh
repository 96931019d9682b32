# Shared by run.sh and test.sh: installs the Debian packages the build needs
# (only those missing, with sudo only when not root) and builds.

# Packages to build the program and run its tests.
BUILD_PACKAGES=(cmake make g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev liblapack-dev libgtest-dev fonts-dejavu-core poppler-utils)

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

# clang with its libFuzzer runtime, for the fuzz targets. Debian keeps the
# runtime in a package of its own (libclang-rt-NN-dev).
ensure_fuzzer() {
    ensure_packages clang
    local runtime
    runtime="$(clang++ -print-runtime-dir)/libclang_rt.fuzzer-x86_64.a"
    if [ ! -f "$runtime" ]; then
        local major
        major=$(clang++ --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
        ensure_packages "libclang-rt-${major}-dev"
    fi
}

build_fuzzers() {
    CXX=clang++ build build-fuzz -DCONVDIFF_FUZZ=ON -DCONVDIFF_GUI=OFF -DCONVDIFF_TESTS=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo
}

FUZZ_TARGETS=(fuzz_read_number fuzz_format fuzz_calculation fuzz_study_options fuzz_transient_options)

# fuzz TARGET SECONDS: runs one target from its committed seeds, leaving the
# seeds as they are; a crash is kept in build-fuzz/crashes and fails the run.
fuzz() {
    local target=$1 seconds=$2
    local corpus
    corpus=$(mktemp -d)
    mkdir -p build-fuzz/crashes
    cp tests/fuzz/corpus/"$target"/* "$corpus"/
    echo "-- $target for ${seconds}s"
    if ! build-fuzz/tests/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix=build-fuzz/crashes/"$target"- -print_final_stats=1 "$corpus" \
        >build-fuzz/"$target".log 2>&1; then
        tail -n 40 build-fuzz/"$target".log
        rm -rf "$corpus"
        echo "FAILED: $target found a fault (see build-fuzz/crashes)"
        return 1
    fi
    grep -E '^stat::number_of_executed_units' build-fuzz/"$target".log || true
    rm -rf "$corpus"
}
