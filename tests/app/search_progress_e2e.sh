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
program=
trap 'if [ -n "$program" ]; then kill $program 2>/dev/null || true; fi' EXIT

for count in 1 3 10 250; do
    echo "-- $count records"
    csv="$work/datos$count.csv"
    printf 'Registro,Nombre:1\r\n' >"$csv"
    r=1
    while [ $r -le $count ]; do
        printf '%d,Ana\r\n' $r >>"$csv"
        r=$((r + 1))
    done
    $run "$velmar_db" import-csv "$(winpath "$csv")" "$(winpath "$work/Datos$count")" >/dev/null ||
        fail "velmar-db could not import $csv"
    printf '[Base Datos]\r\nVinculado=%s\r\n' "$(winpath "$work/Datos$count/")" >"$work/Configuracion.ini"

    $run "$work/velmar-rtf.exe" &
    program=$!
    drive wait "$title" 30000 || fail "no visible window titled '$title'"
    drive inject "$title" "$(winpath "$work/recorder.dll")" 20000 || fail "the caption recorder did not start"
    drive command "$title" 1262 || fail "could not post Buscar"
    drive wait Buscar 15000 || fail "the search dialog did not open"
    drive pick Buscar 7002 Nombre || fail "no Nombre in the field box"
    drive choose Buscar 7003 0 || fail "could not choose the first operator entry"
    drive click Buscar 7013 || fail "could not click Aplicar"
    drive type Buscar 7007 Ana || fail "could not type the value"
    drive expect Buscar 7007 Ana 10000 || fail "the value did not arrive"

    drive click Buscar 7014 &
    clicking=$!
    drive wait Programador 30000 || fail "no result message"
    said=$(drive answer "$title" Programador 1 20000 | tr -d '\r') || fail "could not answer the result message"
    [ "$said" = "$count Resultados ..." ] || fail "the result message was '$said'"
    wait $clicking || true
    drive click "$search_window" 7012 || fail "could not click Salir"
    drive gone "$search_window" 10000 || fail "the search dialog stayed after Salir"

    expected=$(if [ $count -eq 250 ]; then seq 0 100; elif [ $count -eq 1 ]; then echo 100; else
        r=1; while [ $r -le $count ]; do echo $((r * 100 / count)); r=$((r + 1)); done; fi | sed 's/$/ %/')
    shown=$(grep -v ' - ' "$captions" || true)
    times=$(grep -c '^[0-2][0-9]:[0-5][0-9]:[0-5][0-9] - [0-2][0-9]:[0-5][0-9]:[0-5][0-9]$' "$captions" || true)
    [ "$shown" = "$expected" ] || fail "$count records: the captions were $(tr '\n' '|' <"$captions")"
    [ "$times" = 1 ] || fail "$count records: the times came $times times: $(tr '\n' '|' <"$captions")"
    [ "$(tail -n 1 "$captions" | grep -c ' - ')" = 1 ] || fail "$count records: the times were not last"
    echo "captions: $(printf '%s' "$shown" | tr '\n' '|')"

    drive command "$title" 1258
    drive gone "$title" 15000 || fail "the window stayed after Salir"
    wait $program || fail "the program exited with an error"
    program=
done
trap - EXIT
echo "PASS"
