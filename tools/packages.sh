# Makes sure the Debian packages that the build, the tests or the demo need are installed.
# Sourced by test.sh and run.sh: ensure_packages PACKAGE...
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing ${missing[*]} ..."
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || exit 1
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || exit 1
}

# What building and testing needs.
BUILD_PACKAGES=(cmake ninja-build clang g++ libclang-rt-14-dev libgtest-dev googletest
                libbenchmark-dev g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb xauth
                fonts-wine clang-format cppcheck)
