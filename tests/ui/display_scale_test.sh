#!/bin/sh
# display_scale_tests.exe at the display scales 96, 120, 144 and 192 DPI: the
# scale is set in the Wine prefix (LogPixels, which every process started
# afterwards reads), the run is told which scale to expect, and the scale goes
# back to 96 at the end. The runs at 144 and 192 DPI leave screenshots of the
# main window and the search dialog in OUT_DIR as PNG files.
# Usage: display_scale_test.sh DISPLAY_SCALE_TESTS_EXE OUT_DIR
set -eu
exe=$1 out=$2
run="${VELMAR_EMULATOR:-}"
[ -n "$run" ] || { echo "display scales are set in the Wine prefix: Windows build only"; exit 77; }

set_scale() {
    $run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
trap 'set_scale 96' EXIT

mkdir -p "$out"
status=0
for dpi in 96 120 144 192; do
    echo "-- $dpi DPI"
    set_scale "$dpi" || { echo "FAIL: could not set LogPixels $dpi"; exit 1; }
    shots=""
    case $dpi in 144 | 192) shots="$out/dpi-$dpi"; rm -rf "$shots"; mkdir -p "$shots" ;; esac
    if ! VELMAR_EXPECTED_DPI=$dpi VELMAR_SCREENSHOT_DIR="${shots:+Z:$(printf '%s' "$shots" | tr / '\\')}" \
        $run "$exe" --gtest_brief=1; then
        echo "FAIL: at $dpi DPI"
        status=1
    fi
    if [ -n "$shots" ]; then
        for shot in "$shots"/*.bmp; do
            [ -f "$shot" ] || { echo "FAIL: no screenshot at $dpi DPI"; status=1; continue; }
            png="$out/$(basename "$shot" .bmp)-$dpi.png"
            convert "$shot" "$png" && rm -f "$shot" && echo "screenshot: $png"
        done
        rmdir "$shots" 2>/dev/null || true
    fi
done
exit $status
