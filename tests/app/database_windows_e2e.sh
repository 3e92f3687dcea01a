#!/usr/bin/env bash
# The real velmar-rtf.exe on the sample database, driven from outside by
# velmar-driver as a user would work with the database windows:
#   - the sample letter (Carta.rtf) read with "Leer RTF" becomes the display
#     template;
#   - "Buscar" offers the sample's searchable fields (its text fields have
#     type 0, which the search never offers); "Aplicar" with Provincia and
#     "01 - = Igual a ..." labels criterion 1; the value 9 (Soria, the ninth
#     item of the province list) and "Buscar" give the message
#     "16 Resultados ...", and after it the caption shows the start and end
#     times;
#   - "Navegador" shows record 1, and "Ir a" with 5 typed into its box
#     record 5; checking "Navegar con búsqueda" shows the
#     first result, record 8, and ">>" the second, record 20, merged into the
#     letter in the editor (capitals for "##": PASCUAL MUÑOZ, SORIA); "Ir a"
#     and its number box are disabled meanwhile;
#   - screenshots of the search dialog (criterion applied, result message
#     shown) and of record 20 shown through the letter are left in OUT_DIR.
# Usage: database_windows_e2e.sh VELMAR_RTF_EXE VELMAR_DRIVER_EXE VELMAR_DB_EXE SAMPLES_DIR OUT_DIR
# Runs the .exe files through $VELMAR_EMULATOR (Wine in the Windows build).
set -euo pipefail
exe=$1 driver=$2 velmar_db=$3 samples=$4 out=$5
. "$(dirname -- "${BASH_SOURCE[0]}")/../support/e2e.sh"
title="Velmar rtf" search="Buscar" navigator="Registros Base Datos"
editor=1174
# The search dialog's caption changes as it works: it is found by its "Buscar" button.
search_window="#7014"

work="$out/database-windows"
rm -rf "$work"
mkdir -p "$work"
# Wine draws no frame around a window it hands to a window manager, and none
# runs here: under its own name the program's windows are Wine's to frame, so
# the screenshots show their captions (the search's progress and times).
program_name=velmar-rtf-framed.exe
cp "$exe" "$work/$program_name"
if [ -n "$run" ]; then
    $run reg add "HKCU\\Software\\Wine\\AppDefaults\\$program_name\\X11 Driver" /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1 || fail "could not keep the program's windows framed"
fi

step "the sample database, made from its CSV"
$run "$velmar_db" import-csv "$(winpath "$samples/clientes.csv")" "$(winpath "$work/Clientes")" >/dev/null ||
    fail "velmar-db could not import the sample"
link_database "$work/Clientes/" "$work/Configuracion.ini"

cd "$work"
start_program "$work/$program_name" "$title"

step "the sample letter becomes the document"
read_rtf "$samples/Carta.rtf"
letter=$(drive text "$title" $editor | tr -d '\r')
printf '%s' "$letter" | grep -q '##Apellidos, #Nombre' || fail "the letter is not in the editor: $letter"

step "Buscar offers the searchable fields, sorted"
drive command "$title" 1262 || fail "could not post Buscar"
drive wait "$search" 15000 || fail "the search dialog did not open"
fields=$(drive items "$search" 7002 | tr -d '\r' | tr '\n' ' ')
[ "$fields" = "Alta Apellidos Categoria Ciudad Nacimiento Nombre Provincia Saldo Telefono " ] ||
    fail "the field box offers: $fields"
[ "$(drive items "$search" 7003 | head -1 | tr -d '\r')" = "01 - = Igual a ..." ] || fail "operator entries"

step "Aplicar: Provincia, equal to"
drive pick "$search" 7002 Provincia || fail "no Provincia in the field box"
drive choose "$search" 7003 0 || fail "could not choose the first operator entry"
drive click "$search" 7013 || fail "could not click Aplicar"
[ "$(drive text "$search" 7006 | tr -d '\r')" = "Campo de busqueda 1 {Provincia = Igual a ...}" ] ||
    fail "criterion label 1 reads '$(drive text "$search" 7006)'"
offered=$(drive items "$search" 7002 | tr -d '\r') || fail "could not read the field box"
printf '%s\n' "$offered" | grep -qx Provincia && fail "Provincia is still offered"
drive type "$search" 7007 9 || fail "could not type the value"
drive expect "$search" 7007 9 10000 || fail "the value did not arrive"
screenshot "$out/search-dialog.png"

step "Buscar: the result message, then the times in the caption"
# The click returns once the message box is closed, so it waits in the background.
drive click "$search" 7014 &
clicking=$!
drive wait Programador 30000 || fail "no result message"
screenshot "$out/search-result.png"
said=$(drive answer "$title" Programador 1 20000 | tr -d '\r') || fail "could not answer the result message"
[ "$said" = "16 Resultados ..." ] || fail "the result message was '$said'"
wait $clicking || true
caption=$(drive text "$search_window" 0 | tr -d '\r')
printf '%s\n' "$caption" | grep -Eqx '[0-2][0-9]:[0-5][0-9]:[0-5][0-9] - [0-2][0-9]:[0-5][0-9]:[0-5][0-9]' ||
    fail "the caption after the search is '$caption'"
echo "caption: $caption"
drive click "$search_window" 7012 || fail "could not click Salir"
drive gone "$search_window" 10000 || fail "the search dialog stayed after Salir"

step "Navegador: record 1, then the results through the letter"
drive command "$title" 1261 || fail "could not post Navegador"
drive wait "$navigator" 15000 || fail "the record navigator did not open"
drive expect "$navigator" 1905 1 15000 || fail "record 1 is not shown"
drive text "$title" $editor | tr -d '\r' | grep -q 'SANTANA SANTANA, Paloma' || fail "record 1 is not in the letter"
drive type "$navigator" 1907 5 || fail "could not type into the record number box"
drive expect "$navigator" 1907 5 10000 || fail "the record number did not arrive"
drive click "$navigator" 1908 || fail "could not click Ir a"
drive expect "$navigator" 1905 5 15000 || fail "Ir a with 5 in its box did not show record 5"
drive unchecked "$navigator" 1909 || fail "the search navigation box starts checked"
drive click "$navigator" 1909 || fail "could not click the search navigation box"
drive checked "$navigator" 1909 || fail "the search navigation box did not check"
drive expect "$navigator" 1905 8 15000 || fail "the first result (record 8) is not shown"
drive text "$title" $editor | tr -d '\r' | grep -q 'MOLINA GIMÉNEZ, Montserrat' || fail "record 8 is not in the letter"
drive click "$navigator" 1903 || fail "could not click >>"
drive expect "$navigator" 1905 20 15000 || fail "the second result (record 20) is not shown"
shown=$(drive text "$title" $editor | tr -d '\r')
printf '%s' "$shown" | grep -q 'PASCUAL MUÑOZ, Jorge' || fail "record 20 is not in the letter: $shown"
printf '%s' "$shown" | grep -q 'Castrillo de la Sierra (SORIA)' || fail "record 20's town is not in the letter: $shown"
printf '%s' "$shown" | grep -q '#' && fail "a placeholder was left in the letter: $shown"
# "Ir a" and its number box are disabled under search navigation, so no click
# reaches them. (A BM_CLICK sent to a disabled button still clicks it, so a
# click from outside cannot tell.)
drive disabled "$navigator" 1908 || fail "Ir a is enabled under search navigation"
drive disabled "$navigator" 1907 || fail "the record number box is enabled under search navigation"
screenshot "$out/record-navigator.png"

step "closing the navigator"
drive close "$navigator" || fail "could not post the close request"
drive gone "$navigator" 10000 || fail "the navigator stayed open"
end_program
echo "PASS"
