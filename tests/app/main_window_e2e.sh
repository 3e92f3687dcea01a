#!/usr/bin/env bash
# The real velmar-rtf.exe, started and driven from outside by velmar-driver:
#   - the window "Velmar rtf" appears with its editor text (the states of the
#     menu items are checked in process: Wine keeps menus per process, so
#     another program cannot read them);
#   - a close request (WM_SYSCOMMAND / SC_CLOSE, as the close box and Alt+F4
#     send it) leaves it open, while the same request closes an ordinary
#     window (the negative control: the request really arrives);
#   - "Salir" ends the program and leaves Configuracion.ini with section
#     "Base Datos" and key "Vinculado";
#   - a screenshot of the started program is left in OUT_DIR.
# Usage: main_window_e2e.sh VELMAR_RTF_EXE VELMAR_DRIVER_EXE OUT_DIR
# Runs the .exe files through $VELMAR_EMULATOR (Wine in the Windows build).
set -euo pipefail
exe=$1 driver=$2 out=$3
. "$(dirname -- "${BASH_SOURCE[0]}")/../support/e2e.sh"


work="$out/main-window"
rm -rf "$work"
mkdir -p "$work/Prueba"
cp "$exe" "$work/velmar-rtf.exe"

# A database folder that passes the link check: one field definition.
head -c 12042 /dev/zero >"$work/Prueba/Prueba.z04"
: >"$work/Prueba/Prueba.zbd"
linked=$(winpath "$work/Prueba/")
link_database "$work/Prueba/" "$work/Configuracion.ini"

# Started from another folder: the settings file beside the .exe must be used.
cd "$out"
step "the window appears"
start_program "$work/velmar-rtf.exe"
[ "$(drive text "Velmar rtf" 0 | tr -d '\r')" = "Velmar rtf" ] || fail "caption"
[ "$(drive text "Velmar rtf" 1174 | tr -d '\r')" = "Este es mi editor ..." ] || fail "editor text"

step "negative control: a posted close request closes an ordinary window"
$run "$driver" plain "Velmar control" &
control=$!
drive wait "Velmar control" 30000 || fail "control window did not appear"
drive close "Velmar control" || fail "could not post to the control window"
drive gone "Velmar control" 10000 || fail "the control window ignored SC_CLOSE: the test cannot tell anything"
wait $control || true

step "the same close request leaves the program open"
drive close "Velmar rtf" || fail "could not post SC_CLOSE"
drive stays "Velmar rtf" 1500 || fail "the window closed on SC_CLOSE"
kill -0 $program 2>/dev/null || fail "the program ended on SC_CLOSE"

step "screenshot"
screenshot "$out/main-window.png"

step "Salir ends the program and saves the settings"
rm -f "$work/Configuracion.ini"
end_program
[ -f "$work/Configuracion.ini" ] || fail "no Configuracion.ini beside the .exe"
ini=$(tr -d '\r' <"$work/Configuracion.ini")
printf '%s\n' "$ini" | grep -qx '\[Base Datos\]' || fail "no section [Base Datos]: $ini"
printf '%s\n' "$ini" | grep -qxF "Vinculado=$linked" || fail "Vinculado is not the linked folder: $ini"
echo "PASS"
