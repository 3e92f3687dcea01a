#!/usr/bin/env bash
# The search dialog's caption seen from outside the real velmar-rtf.exe: a
# recorder DLL brought into the running program records every caption the
# dialog is given (tools/caption_recorder). For databases of 1, 3, 10 and 250
# records a search shows each percentage once, in order, before its result
# message, and then the start and end times:
#   1: 100 %     3: 33 % 66 % 100 %     10: 10 % 20 % ... 100 %     250: 0 % ... 100 %
# Usage: search_progress_e2e.sh VELMAR_RTF_EXE VELMAR_DRIVER_EXE VELMAR_DB_EXE RECORDER_DLL OUT_DIR
# Runs the .exe files through $VELMAR_EMULATOR (Wine in the Windows build).
set -euo pipefail
exe=$1 driver=$2 velmar_db=$3 recorder=$4 out=$5
. "$(dirname -- "${BASH_SOURCE[0]}")/../support/e2e.sh"
title="Velmar rtf"
search_window="#7014"


work="$out/search-progress"
rm -rf "$work"
mkdir -p "$work"
cp "$exe" "$work/velmar-rtf.exe"
cp "$recorder" "$work/recorder.dll"
captions="$work/recorder.dll.captions.txt"
cd "$work"

for count in 1 3 10 250; do
    step "$count records"
    csv="$work/datos$count.csv"
    printf 'Registro,Nombre:1\r\n' >"$csv"
    r=1
    while [ $r -le $count ]; do
        printf '%d,Ana\r\n' $r >>"$csv"
        r=$((r + 1))
    done
    $run "$velmar_db" import-csv "$(winpath "$csv")" "$(winpath "$work/Datos$count")" >/dev/null ||
        fail "velmar-db could not import $csv"
    link_database "$work/Datos$count/" "$work/Configuracion.ini"

    start_program "$work/velmar-rtf.exe" "$title"
    drive inject "$title" "$(winpath "$work/recorder.dll")" 20000 || fail "the caption recorder did not start"
    apply_criterion Nombre Ana

    drive click Buscar 7014 &
    clicking=$!
    drive wait Programador 30000 || fail "no result message"
    said=$(drive answer "$title" Programador 1 20000 | tr -d '\r') || fail "could not answer the result message"
    [ "$said" = "$count Resultados ..." ] || fail "the result message was '$said'"
    wait $clicking || true
    drive click "$search_window" 7012 || fail "could not click Salir"
    drive gone "$search_window" 10000 || fail "the search dialog stayed after Salir"

    # Each record's percentage, a repeat not shown again.
    expected=$(seq 1 $count | awk -v n=$count '{ print int($1 * 100 / n) " %" }' | uniq)
    shown=$(grep -v ' - ' "$captions" || true)
    times=$(grep -c '^[0-2][0-9]:[0-5][0-9]:[0-5][0-9] - [0-2][0-9]:[0-5][0-9]:[0-5][0-9]$' "$captions" || true)
    [ "$shown" = "$expected" ] || fail "$count records: the captions were $(tr '\n' '|' <"$captions")"
    [ "$times" = 1 ] || fail "$count records: the times came $times times: $(tr '\n' '|' <"$captions")"
    [ "$(tail -n 1 "$captions" | grep -c ' - ')" = 1 ] || fail "$count records: the times were not last"
    echo "captions: $(printf '%s' "$shown" | tr '\n' '|')"

    end_program
done
echo "PASS"
