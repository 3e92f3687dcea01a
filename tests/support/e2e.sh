# What every end-to-end script shares (sourced by bash, after `driver` is set
# or before it is used): the launcher of the .exe files ($VELMAR_EMULATOR:
# scripts/wine-run in the Windows build, empty natively), failing with a
# reason, the steps' headings, the driver, and a host path as the program sees
# it (drive Z: under Wine).
run="${VELMAR_EMULATOR:-}"
fail() {
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
}
step() { echo "-- $*"; }
drive() { $run "$driver" "$@"; }
winpath() { if [ -n "$run" ]; then printf 'Z:%s' "$1" | tr / '\\'; else printf '%s' "$1"; fi; }
