# Lists every test that did not run, from ctest's JUnit file (ctest
# --output-junit, with the whole output of each test kept): tests that ctest
# skipped (their skip return code), did not run or has disabled, and the
# GoogleTest cases that an executable skipped. One line each:
#
#   skipped: TEST: REASON
#   skipped: TEST CASE: REASON
#   not run: TEST: WHY
#
# The reason of a skipped test is its line "skipped: REASON"; that of a skipped
# case is the message GTEST_SKIP() gave. Exits 1 when anything did not run
# without a reason (a skip without one, a test not run or disabled).
#
#   awk -f scripts/lib/skipped-tests.awk build/native.junit.xml

function unescape(s) {
    gsub(/&lt;/, "<", s)
    gsub(/&gt;/, ">", s)
    gsub(/&quot;/, "\"", s)
    gsub(/&apos;/, "'", s)
    gsub(/&amp;/, "\\&", s)
    return s
}
function attribute(line, key,    m) {
    if (match(line, " " key "=\"[^\"]*\"")) {
        m = substr(line, RSTART + length(key) + 3, RLENGTH - length(key) - 4)
        return unescape(m)
    }
    return ""
}
function report(kind, what, reason) {
    if (reason == "") {
        print kind ": " what ": NO REASON GIVEN"
        unexplained = 1
    } else {
        print kind ": " what ": " reason
    }
}
# One line of a test's output.
function output(line) {
    line = unescape(line)
    sub(/\r$/, "", line)
    if (line ~ /^skipped: /) {
        skipReason = substr(line, 10)
    } else if (line ~ /: Skipped$/) {
        inSkip = 1
        collecting = 1
        caseReason = ""
    } else if (inSkip && line ~ /^\[  SKIPPED \] [0-9]+ tests?[.,]/) {
        # The summary line: with --gtest_brief the case's own line never came.
        report("skipped", test " (a case; brief output names none)", caseReason)
        inSkip = 0
    } else if (inSkip && line ~ /^\[  SKIPPED \] /) {
        name = substr(line, 14)
        sub(/ \([0-9]+ ms\)$/, "", name)
        report("skipped", test " " name, caseReason)
        inSkip = 0
    } else if (inSkip && line ~ /^\[/) {
        collecting = 0  # GoogleTest's own lines end the message
    } else if (inSkip && collecting && line != "") {
        caseReason = caseReason == "" ? line : caseReason " " line
    }
}

/<testcase / {
    test = attribute($0, "name")
    status = attribute($0, "status")
    why = ""
    skipReason = ""
    inSkip = 0
    next
}
/<skipped / {
    why = attribute($0, "message")
    next
}
/<\/testcase>/ {
    if (status == "disabled") report("not run", test, "")
    else if (status == "notrun" && why ~ /^SKIP_/) report("skipped", test, skipReason)
    else if (status == "notrun") {
        print "not run: " test ": " why
        unexplained = 1
    }
}
{
    line = $0
    if (index(line, "<system-out>")) {
        inOutput = 1
        line = substr(line, index(line, "<system-out>") + 12)
    }
    if (!inOutput) next
    end = index(line, "</system-out>")
    if (end) {
        inOutput = 0
        line = substr(line, 1, end - 1)
        if (line != "") output(line)
    } else {
        output(line)
    }
}
END { exit unexplained }
