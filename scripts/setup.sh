# Shared by scripts/run and scripts/test: installs the Debian packages the
# build and the tests need, when any is missing, and configures and builds.
# Sourced, not run.

glowline_packages=(cmake make g++ qt6-base-dev qt6-base-dev-tools avra avrdude)

glowline_install_missing() {
    local missing=()
    local pkg
    for pkg in "${glowline_packages[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# glowline_build PRESET [cmake options...]
# PRESET is one of CMakePresets.json's: default (build/), sanitize (build-asan/)
# or fuzz (build-fuzz/).
glowline_build() {
    local preset=$1
    shift
    (
        cd "$glowline_root"
        cmake --preset "$preset" "$@" >/dev/null
        cmake --build --preset "$preset" --parallel "$(nproc)"
    )
}
