#!/usr/bin/env bash
# A user who does anything at any moment, on the real velmar-rtf.exe: the
# driver's random user (tools/driver/random_user.cpp) acts on whatever window
# is on screen and enabled, chosen at random from a seed, including while a
# message box waits and while a search or a record display reads a value
# file of about half a gigabyte, and checks after every action that the
# program answers, shows no failure, keeps its windows single, keeps the
# database menu items in step with the link, leaves the database files alone,
# saves what the editor showed, and ends with status 0 and the right settings
# after "Salir". Then every fixed sequence in tests/app/sequences (faults the
# random runs found, and the orders of commands that must keep working) is
# replayed.
# Usage: random_user_e2e.sh VELMAR_RTF_EXE VELMAR_DRIVER_EXE VELMAR_DB_EXE PROBE_DLL SAMPLES_DIR OUT_DIR
#   VELMAR_RANDOM_ACTIONS  actions per seed (200); with VELMAR_RANDOM_SEEDS unset, a run
#                          longer than the default also takes new seeds from the clock
#   VELMAR_RANDOM_SEEDS    the seeds, blank-separated (1 2 3 unless set)
#   VELMAR_RANDOM_HOLE_MB  size of the large database's hole (512)
# Runs the .exe files through $VELMAR_EMULATOR (Wine in the Windows build).
set -euo pipefail
exe=$1 driver=$2 velmar_db=$3 probe=$4 samples=$5 out=$6
here=$(CDPATH= cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
. "$here/../support/e2e.sh"
actions=${VELMAR_RANDOM_ACTIONS:-200}
seeds=${VELMAR_RANDOM_SEEDS:-"1 2 3"}
hole_mb=${VELMAR_RANDOM_HOLE_MB:-512}

work="$out/random-user"
rm -rf "$work"
mkdir -p "$work/docs" "$work/Vacia" "$work/Mala"
cp "$exe" "$work/velmar-rtf.exe"
cp "$probe" "$work/probe.dll"

step "the databases"
$run "$velmar_db" import-csv "$(winpath "$samples/clientes.csv")" "$(winpath "$work/Clientes")" >/dev/null ||
    fail "velmar-db could not import the sample"
large_database "$work/Grande" "$hole_mb"
# A folder whose definition file is of the wrong length, and an empty one.
head -c 100 /dev/zero >"$work/Mala/Mala.z04"
: >"$work/Mala/Mala.zbd"
cp "$samples/Carta.rtf" "$work/docs/carta.rtf"
printf 'Una nota\r\nde dos lineas\r\n' >"$work/docs/nota.txt"
link_database "$work/Clientes/" "$work/Configuracion.ini"
cd "$work"

program=$(winpath "$work/velmar-rtf.exe") folder=$(winpath "$work") dll=$(winpath "$work/probe.dll")
# The user and the program work inside a Wine virtual desktop: without a
# window manager, every window that closes on the X display itself costs
# Wine about 2 s of waiting, and a run would take ten times as long. The
# desktop's own launcher passes no exit status on: the user's last line says
# how it went ("N actions, ..." when every check held).
as_user() {
    local log="$work/user.log"
    if [ -n "$run" ]; then
        $run explorer /desktop=velmar-random,1280x1024 "$driver" "$@" >"$log" 2>&1 || true
    else
        "$driver" "$@" >"$log" 2>&1 || true
    fi
    grep -v 'Read access denied' "$log" | tr -d '\r'
    ! grep -q '^FAIL' "$log" && grep -Eq '^[0-9]+ actions, seed' "$log"
}
if [ -z "${VELMAR_RANDOM_SEEDS:-}" ] && [ "$actions" -gt 200 ]; then seeds="$seeds $(date +%s)"; fi
for seed in $seeds; do
    step "seed $seed, $actions actions"
    as_user random "$program" "$folder" "$dll" "$seed" "$actions" ||
        fail "seed $seed: see the actions above; replay them with velmar-driver replay"
    link_database "$work/Clientes/" "$work/Configuracion.ini"
done
for sequence in "$here"/sequences/*.txt; do
    step "sequence $(basename "$sequence")"
    cp "$sequence" "$work/sequence.txt"
    as_user replay "$program" "$folder" "$dll" "$(winpath "$work/sequence.txt")" ||
        fail "the sequence $(basename "$sequence") failed"
    link_database "$work/Clientes/" "$work/Configuracion.ini"
done
echo "PASS"
