# Debian packages the build and the tests need, and ensure_packages, which
# installs those that are missing (quietly, and only then touching apt).
# Sourced by the scripts in scripts/ (bash). Tested by tests/scripts/setup_test.sh.

velmar_build_packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev)
# The sanitize preset: clang with its sanitizer and libFuzzer runtimes.
velmar_sanitize_packages=(clang libclang-rt-dev)
velmar_windows_packages=(g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth xdotool imagemagick nsis
                         fonts-wine fonts-liberation icoutils)

# missing_packages NAME...: prints the names that are not installed, one a line.
# dpkg-query -W exits 1 (saying "no packages found matching NAME") for a name it
# has never seen, yet still lists the others; so its status is ignored and only
# the lines it printed count. A package it knows but that is not installed shows
# a state other than "ii".
missing_packages() {
    local listing package
    listing=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "$@" 2>/dev/null) || true
    for package; do
        if ! awk -v name="$package" '$1 == "ii" && $2 == name { found = 1 } END { exit !found }' \
            <<<"$listing"; then
            printf '%s\n' "$package"
        fi
    done
}

# One apt-get step as root (sudo=(...) set by the caller), quiet unless it
# fails: then the last lines of its output, the step and its status, and the
# packages still missing (missing=(...) of the caller).
apt_step() {
    local step=$1 log status=0
    log=$(mktemp "${TMPDIR:-/tmp}/velmar-apt.XXXXXX") || {
        echo "setup: cannot make a temporary file for apt-get's output" >&2
        return 1
    }
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 20 "$log" >&2
        echo "setup: 'apt-get $step' failed with status $status; missing packages: ${missing[*]}" >&2
    fi
    rm -f "$log"
    return "$status"
}

# ensure_packages NAME...: installs the packages that are missing with apt-get
# (update, then a non-interactive install), as root or through sudo. Silent when
# nothing is missing. Returns non-zero after saying on standard error what it was
# doing and which packages are still missing.
ensure_packages() {
    if ! command -v dpkg-query >/dev/null; then
        echo "setup: dpkg-query not found: this is not a Debian system; install by hand: $*" >&2
        return 1
    fi
    local missing=()
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -gt 0 ] || return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "setup: missing packages: ${missing[*]}; install them as root (apt-get install ${missing[*]})." >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "setup: installing ${missing[*]} ..." >&2
    apt_step update -qq || return 1
    apt_step install -y -qq --no-install-recommends "${missing[@]}" || return 1
    local still=()
    mapfile -t still < <(missing_packages "${missing[@]}")
    if [ ${#still[@]} -gt 0 ]; then
        echo "setup: 'apt-get install' ended but these packages are still not installed: ${still[*]}" >&2
        return 1
    fi
    echo "setup: installed ${missing[*]}" >&2
}
