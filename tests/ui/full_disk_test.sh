#!/bin/sh
# Runs the document test of a save that runs out of room, with a small file
# system of its own (tmpfs) mounted for it. Mounting needs the right to do so;
# without it the test is reported as skipped (status 77), with mount's own
# refusal as the reason.
# Usage: full_disk_test.sh EDITOR_TESTS_EXE
# Runs the .exe through $VELMAR_EMULATOR (Wine in the Windows build).
set -u
tests=$1
run="${VELMAR_EMULATOR:-}"

small=$(mktemp -d "${TMPDIR:-/tmp}/velmar-small-disk.XXXXXX") || exit 1
if ! refusal=$(mount -t tmpfs -o size=64k velmar-small "$small" 2>&1); then
    rmdir "$small"
    echo "skipped: mounting a small file system was refused here: $refusal" | tr '\n' ' '
    echo
    exit 77
fi
trap 'umount "$small"; rmdir "$small"' EXIT

# Under Wine the host's root is drive Z:.
if [ -n "$run" ]; then
    folder="Z:$(printf '%s' "$small" | tr / '\\')"
else
    folder=$small
fi
output=$(VELMAR_SMALL_DISK_FOLDER=$folder $run "$tests" --gtest_filter='*SaveThatRunsOutOfRoom*' 2>&1)
status=$?
printf '%s\n' "$output"
[ "$status" = 0 ] || exit 1
# The test must have run, not been skipped or filtered away.
printf '%s\n' "$output" | grep -q '^\[  PASSED  \] 1 test\.' || { echo "FAIL: the test did not run"; exit 1; }
printf '%s\n' "$output" | grep -q 'SKIPPED' && { echo "FAIL: the test was skipped"; exit 1; }
exit 0
