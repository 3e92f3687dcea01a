# Debian packages the build and the tests need, and ensure_packages, which
# installs those that are missing (quietly, and only then touching apt).
# Sourced by the scripts in scripts/ (bash).

velmar_build_packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev)
# The sanitize preset: clang with its sanitizer and libFuzzer runtimes.
velmar_sanitize_packages=(clang libclang-rt-dev)
velmar_windows_packages=(g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth xdotool imagemagick
                         fonts-wine fonts-liberation)

ensure_packages() {
    local installed missing=() package
    installed=" $(dpkg-query -W -f='${db:Status-Abbrev}${Package} ' "$@" 2>/dev/null | grep -o 'ii [^ ]*' | cut -c4- | tr '\n' ' ') "
    for package in "$@"; do
        case "$installed" in *" $package "*) ;; *) missing+=("$package") ;; esac
    done
    [ ${#missing[@]} -gt 0 ] || return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then
            sudo=(sudo)
        else
            echo "Missing packages: ${missing[*]}; install them as root." >&2
            return 1
        fi
    fi
    echo "Installing ${missing[*]} ..." >&2
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}
