#!/usr/bin/env bash
# The list of tests that did not run (scripts/lib/skipped-tests.awk) on a JUnit
# file of the kind ctest writes: every skip is named with its reason, and one
# without a reason, a test not run or a disabled one makes it fail.
set -euo pipefail
awk_file="$(dirname -- "${BASH_SOURCE[0]}")/../../scripts/lib/skipped-tests.awk"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# run_list NAME: the list for $work/NAME.xml into $work/NAME.out, its status into $status.
run_list() {
    status=0
    awk -f "$awk_file" "$work/$1.xml" >"$work/$1.out" || status=$?
}

cat >"$work/explained.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<testsuite name="(empty)" tests="3" failures="0" disabled="0" skipped="1">
	<testcase name="core_tests" classname="core_tests" time="0.5" status="run">
		<system-out>[ RUN      ] Files.Passes
[       OK ] Files.Passes (0 ms)
[ RUN      ] Files.NeedsRoot
/src/x.cpp:12: Skipped
no &lt;root&gt; here &amp; now
[  SKIPPED ] Files.NeedsRoot (0 ms)
[  PASSED  ] 1 test.
[  SKIPPED ] 1 test, listed below:
[  SKIPPED ] Files.NeedsRoot
</system-out>
	</testcase>
	<testcase name="full_disk" classname="full_disk" time="0.1" status="notrun">
		<skipped message="SKIP_RETURN_CODE=77"/>
		<system-out>skipped: mounting was refused: permission denied
</system-out>
	</testcase>
	<testcase name="plain" classname="plain" time="0.1" status="run">
		<system-out>all fine</system-out>
	</testcase>
	<testcase name="brief" classname="brief" time="0.1" status="run">
		<system-out>/src/y.cpp:5: Skipped
no service here
[==========] 2 tests from 1 test suite ran. (3 ms total)
[  PASSED  ] 1 test.
[  SKIPPED ] 1 test.
</system-out>
	</testcase>
</testsuite>
XML
run_list explained
[ "$status" = 0 ] || fail "skips with reasons must pass (status $status)"
diff -u - "$work/explained.out" <<'OUT' || fail "the list of explained skips"
skipped: core_tests Files.NeedsRoot: no <root> here & now
skipped: full_disk: mounting was refused: permission denied
skipped: brief (a case; brief output names none): no service here
OUT

# Each of these alone must fail the list.
cat >"$work/case.xml" <<'XML'
	<testcase name="ui_tests" classname="ui_tests" time="0.5" status="run">
		<system-out>[ RUN      ] Window.Opens
Z:\src\w.cpp(40): Skipped

[  SKIPPED ] Window.Opens (3 ms)
</system-out>
	</testcase>
XML
cat >"$work/silent.xml" <<'XML'
	<testcase name="full_disk" classname="full_disk" time="0.1" status="notrun">
		<skipped message="SKIP_RETURN_CODE=77"/>
		<system-out>cannot do it
</system-out>
	</testcase>
XML
cat >"$work/missing.xml" <<'XML'
	<testcase name="gone" classname="gone" time="0" status="notrun">
		<skipped message="Unable to find executable"/>
		<system-out>Unable to find executable: /x/gone</system-out>
	</testcase>
XML
cat >"$work/disabled.xml" <<'XML'
	<testcase name="off" classname="off" time="0" status="disabled">
		<system-out>Disabled</system-out>
	</testcase>
XML
for name in case silent missing disabled; do
    run_list "$name"
    [ "$status" = 1 ] || fail "$name: must fail the list (status $status)"
    [ "$(wc -l <"$work/$name.out")" = 1 ] || fail "$name: one line expected, got: $(cat "$work/$name.out")"
done
grep -qx 'skipped: ui_tests Window.Opens: NO REASON GIVEN' "$work/case.out" || fail "case: $(cat "$work/case.out")"
grep -qx 'skipped: full_disk: NO REASON GIVEN' "$work/silent.out" || fail "silent: $(cat "$work/silent.out")"
grep -qx 'not run: gone: Unable to find executable' "$work/missing.out" || fail "missing: $(cat "$work/missing.out")"
grep -qx 'not run: off: NO REASON GIVEN' "$work/disabled.out" || fail "disabled: $(cat "$work/disabled.out")"
echo "skipped-tests list: all cases passed"
