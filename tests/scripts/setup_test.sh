#!/usr/bin/env bash
# The package set-up of scripts/lib/packages.sh, on machines where none, some or
# all of the packages are installed, and where apt-get fails. dpkg-query,
# apt-get and sudo are replaced by stand-ins first on PATH that behave like the
# real tools: dpkg-query -W prints the packages it knows in the requested format
# and, for a name it has never heard of, writes "dpkg-query: no packages found
# matching NAME" on standard error and exits 1; apt-get records what it was asked
# and "installs" by adding the names to the stand-in's package list.
#
#   tests/scripts/setup_test.sh [PACKAGES_SH]   (default: scripts/lib/packages.sh)
set -uo pipefail

root=$(CDPATH='' cd -- "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)
packages_sh=${1:-$root/scripts/lib/packages.sh}
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-setup-test.XXXXXX") || { echo "setup_test: cannot make a work folder" >&2; exit 1; }
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"

# dpkg-query stand-in: the file $STANDIN/status holds "STATE NAME VERSION" lines
# ("ii" installed, "un" known but not installed). Only -W [-f FORMAT] NAME... is
# understood; the fields ${Package}, ${binary:Package}, ${Version},
# ${db:Status-Abbrev} and ${Status} and the escapes \n and \t are expanded.
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
format='${Package}\t${Version}\n'
[ "${1:-}" = "-W" ] || { echo "dpkg-query stand-in: only -W is known" >&2; exit 2; }
shift
case "${1:-}" in
    -f) format=$2; shift 2 ;;
    -f=* | --showformat=*) format=${1#*=}; shift ;;
esac
status=0
for name; do
    line=$(grep -E "^[a-zA-Z]+ $name " "$STANDIN/status" | head -n 1)
    if [ -z "$line" ]; then
        echo "dpkg-query: no packages found matching $name" >&2
        status=1
        continue
    fi
    read -r state package version <<<"$line"
    case "$state" in
        ii) long="install ok installed" ;;
        *) long="unknown ok not-installed"; version="" ;;
    esac
    [ "$version" = "-" ] && version=""
    out=$format
    out=${out//'${Package}'/$package}
    out=${out//'${binary:Package}'/$package}
    out=${out//'${Version}'/$version}
    out=${out//'${db:Status-Abbrev}'/"$state "}
    out=${out//'${Status}'/$long}
    printf '%b' "$out"
done
exit "$status"
EOF

# apt-get stand-in: every call is appended to $STANDIN/apt.log. "install" marks
# its package arguments installed; STANDIN_APT_FAIL=update or =install makes that
# step fail as a broken mirror or a full disk would.
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STANDIN/apt.log"
action=""
for arg; do case "$arg" in update | install) action=$arg ;; esac; done
if [ "${STANDIN_APT_FAIL:-}" = "$action" ]; then
    echo "E: stand-in apt-get $action failed" >&2
    exit 100
fi
if [ "$action" = install ]; then
    for arg; do
        case "$arg" in -* | install) ;; *)
            grep -v -E "^[a-zA-Z]+ $arg " "$STANDIN/status" >"$STANDIN/status.new" || true
            echo "ii $arg 1.0" >>"$STANDIN/status.new"
            mv "$STANDIN/status.new" "$STANDIN/status" ;;
        esac
    done
fi
EOF

# sudo stand-in, so that the test behaves the same as root and as a user.
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# run_case NAME STATUS_LINES [APT_FAIL]: a new stand-in machine with the given
# dpkg status, then ensure_packages on three packages under set -euo pipefail,
# as scripts/test calls it. Leaves $status, $out (stdout and stderr) and
# $apt (the apt-get calls) for the checks.
run_case() {
    export STANDIN="$work/$1"
    mkdir -p "$STANDIN"
    printf '%s\n' "$2" | grep -v '^$' >"$STANDIN/status" || true
    : >"$STANDIN/apt.log"
    out=$(STANDIN_APT_FAIL=${3:-} PATH="$work/bin:$PATH" bash -c '
        set -euo pipefail
        . "$1"
        ensure_packages cmake wine xvfb
        echo "after ensure_packages"' run_case "$packages_sh" 2>&1)
    status=$?
    apt=$(cat "$STANDIN/apt.log")
}

# (a) Nothing installed (wine known to dpkg but removed, the others never seen):
# one update, then one non-interactive install of all three.
run_case nothing "un wine -"
[ "$status" -eq 0 ] || fail "nothing installed: exit status $status, output: $out"
grep -q '^apt-get .*update' <<<"$apt" || fail "nothing installed: no apt-get update; apt-get calls: $apt"
install=$(grep '^apt-get .*install' <<<"$apt")
for package in cmake wine xvfb; do
    grep -qw -- "$package" <<<"$install" || fail "nothing installed: $package not installed; apt-get calls: $apt"
done
grep -q -- '-y' <<<"$install" || fail "nothing installed: the install is not non-interactive: $install"
[ "$(head -n 1 <<<"$apt")" != "$install" ] || fail "nothing installed: install before update: $apt"
grep -q 'after ensure_packages' <<<"$out" || fail "nothing installed: the caller did not go on"

# Some installed: only the missing one is asked for.
run_case some "ii cmake 3.25
ii wine 8.0"
[ "$status" -eq 0 ] || fail "some installed: exit status $status, output: $out"
install=$(grep '^apt-get .*install' <<<"$apt")
grep -qw xvfb <<<"$install" || fail "some installed: xvfb not installed; apt-get calls: $apt"
grep -qwE 'cmake|wine' <<<"$install" && fail "some installed: installed ones asked for again: $install"

# (b) Everything installed: apt-get is not called at all, and nothing is said.
run_case everything "ii cmake 3.25
ii wine 8.0
ii xvfb 21.1"
[ "$status" -eq 0 ] || fail "everything installed: exit status $status, output: $out"
[ -z "$apt" ] || fail "everything installed: apt-get was called: $apt"
[ "$out" = "after ensure_packages" ] || fail "everything installed: unexpected output: $out"

# (c) apt-get fails, at the update and at the install: non-zero, the caller
# stops, and the message says what failed and which packages are missing.
for step in update install; do
    run_case "fails-$step" "ii cmake 3.25" "$step"
    [ "$status" -ne 0 ] || fail "apt-get $step fails: exit status 0, output: $out"
    grep -q 'after ensure_packages' <<<"$out" && fail "apt-get $step fails: the caller went on"
    grep -q "apt-get $step" <<<"$out" || fail "apt-get $step fails: the message does not name the step: $out"
    grep -qw wine <<<"$out" && grep -qw xvfb <<<"$out" ||
        fail "apt-get $step fails: the message does not name the missing packages: $out"
done

if [ "$failures" -gt 0 ]; then
    echo "setup_test: $failures check(s) failed against $packages_sh" >&2
    exit 1
fi
echo "setup_test: all checks passed against $packages_sh"
