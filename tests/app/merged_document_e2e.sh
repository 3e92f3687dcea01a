#!/usr/bin/env bash
# The one-document merge read back in the real program: velmar-db merge --into
# writes the sample letter for the records that a search finds (province 8,
# Lugo, and category 1, Oro: six clients), "Leer RTF" reads it into the
# editor, and the editor's text must hold every one of those clients, in the
# order of the search, with no placeholder left. A screenshot of the document
# is left in OUT_DIR as merged-document.png.
# Usage: merged_document_e2e.sh VELMAR_RTF_EXE VELMAR_DRIVER_EXE VELMAR_DB_EXE SAMPLES_DIR OUT_DIR
# Runs the .exe files through $VELMAR_EMULATOR (Wine in the Windows build).
set -euo pipefail
exe=$1 driver=$2 velmar_db=$3 samples=$4 out=$5
. "$(dirname -- "${BASH_SOURCE[0]}")/../support/e2e.sh"
title="Velmar rtf"
editor=1174

db() { $run "$velmar_db" "$@" | tr -d '\r'; }

work="$out/merged-document"
rm -rf "$work"
mkdir -p "$work"
cp "$exe" "$work/velmar-rtf.exe"
db import-csv "$(winpath "$samples/clientes.csv")" "$(winpath "$work/Clientes")" >/dev/null ||
    fail "velmar-db could not import the sample"
link_database "$work/Clientes/" "$work/Configuracion.ini"

step "velmar-db merge --into: the letters of a search in one document"
said=$(db merge "$(winpath "$work/Clientes")" "$(winpath "$samples/Carta.rtf")" --into "$(winpath "$work/cartas.rtf")" \
    --search Provincia = 8 Categoria 01 1 --today 27/03/2026) || fail "merge --into failed: $said"
[ "$said" = "6 registros combinados en $(winpath "$work/cartas.rtf")" ] || fail "merge --into said: $said"
records=$(db search "$(winpath "$work/Clientes")" Provincia = 8 Categoria 01 1 | grep -E '^[0-9]+$')
[ "$(echo "$records" | wc -l)" -eq 6 ] || fail "the search found: $records"
[ "$(grep -c '\\rtf1' "$work/cartas.rtf")" -eq 1 ] || fail "the document has more than one \\rtf1"

step "Leer RTF reads it into the editor"
cd "$work"
start_program "$work/velmar-rtf.exe" "$title"
read_rtf "$work/cartas.rtf"
text=$(drive text "$title" $editor | tr -d '\r')
printf '%s\n' "$text" >"$work/editor-text.txt"
printf '%s' "$text" | grep -q '#' && fail "a placeholder was left: $text"
# Each client's telephone (one per client), after the one before, and the name.
rest=$text
for record in $records; do
    value=$(db value "$(winpath "$work/Clientes")" Telefono "$record")
    case $rest in
    *"$value"*) rest=${rest#*"$value"} ;;
    *) fail "record $record (Telefono $value) is missing or out of order in the editor: $text" ;;
    esac
    name=$(db value "$(winpath "$work/Clientes")" Nombre "$record")
    printf '%s' "$text" | grep -q ", $name\$" || fail "record $record's name $name is not in the editor"
done
[ "$(printf '%s\n' "$text" | grep -c 'Estimado/a cliente:')" -eq 6 ] || fail "not six letters in the editor: $text"
screenshot "$out/merged-document.png"

end_program
echo "PASS"
