#!/usr/bin/env bash
# The release zip as a Windows user gets it: unzipped into an empty folder,
# it holds exactly the two programs, LEEME.txt, the guide (one page with its
# pictures inside) and the sample database with its letter, and the program
# starts from there with nothing else beside it:
#   - velmar-db.exe reports the project's version and finds the sample valid;
#   - both .exe files carry a version resource with that version;
#   - velmar-rtf.exe, started from another folder, opens its window and writes
#     Configuracion.ini beside itself on "Salir";
#   - with Clientes linked, "Navegador" shows record 1 of the sample.
# Usage: release_zip_e2e.sh ZIP VERSION CMAKE VELMAR_DRIVER_EXE OUT_DIR
# Runs the .exe files through $VELMAR_EMULATOR (Wine in the Windows build).
set -euo pipefail
zip=$1 version=$2 cmake=$3 driver=$4 out=$5
. "$(dirname -- "${BASH_SOURCE[0]}")/../support/e2e.sh"
title="Velmar rtf" navigator="Registros Base Datos"


[ -f "$zip" ] || fail "no release zip at $zip"
work="$out/release"
rm -rf "$work"
mkdir -p "$work/unzipped" "$work/elsewhere"
folder="$work/unzipped"

step "unzipped into an empty folder: exactly the release's files"
(cd "$folder" && "$cmake" -E tar xf "$zip") || fail "could not unzip $zip"
found=$(cd "$folder" && find . -type f | sort | tr '\n' ' ')
expected="./Clientes/Carta.rtf ./Clientes/Clientes.z04 ./Clientes/Clientes.zbd ./Guia de Velmar.html ./LEEME.txt "
expected+="./velmar-db.exe ./velmar-rtf.exe "
[ "$found" = "$expected" ] || fail "files in the zip: $found (expected $expected)"
grep -q "Velmar rtf $version" "$folder/LEEME.txt" || fail "LEEME.txt does not name version $version"
# The guide is one page: every picture inside it, none beside it.
guide="$folder/Guia de Velmar.html"
grep -qF "Velmar rtf $version" "$guide" || fail "the guide does not name version $version"
pictures=$(grep -o '<img src="data:image/png;base64,[A-Za-z0-9+/=]*"' "$guide" | wc -l)
outside=$(grep -o '<img src="[^"]*' "$guide" | grep -vc '^<img src="data:' || true)
[ "$pictures" -ge 7 ] && [ "$outside" = 0 ] || fail "the guide holds $pictures pictures, and $outside more outside it"

step "velmar-db.exe: version and the sample database"
said=$($run "$folder/velmar-db.exe" --version | tr -d '\r') || fail "velmar-db --version failed"
[ "$said" = "velmar-db $version" ] || fail "velmar-db --version said '$said'"
clientes=$(winpath "$folder/Clientes")
said=$($run "$folder/velmar-db.exe" check "$clientes" | tr -d '\r') || fail "check Clientes failed: $said"
[ "$said" = FolderValid ] || fail "check Clientes said '$said'"
said=$($run "$folder/velmar-db.exe" count "$clientes" | tr -d '\r') || fail "count Clientes failed"
[ "$said" = 300 ] || fail "count Clientes said '$said'"

step "version resources"
for exe in velmar-rtf.exe velmar-db.exe; do
    # The resource's texts are UTF-16: with the NULs dropped they read as ASCII.
    info=$(wrestool -x --raw --type=16 "$folder/$exe" | tr -d '\000') || fail "$exe: no version resource"
    for text in "ProductName" "Velmar rtf" "FileVersion$version" "OriginalFilename$exe" "LegalCopyright"; do
        printf '%s' "$info" | grep -qF "$text" || fail "$exe: version resource lacks '$text'"
    done
done

# Started from another folder, as from a shortcut: the settings file is the one
# beside the .exe.
cd "$work/elsewhere"
step "first start, nothing linked; Salir writes Configuracion.ini beside the .exe"
start_program "$folder/velmar-rtf.exe" "$title"
[ "$(drive text "$title" 1174 | tr -d '\r')" = "Este es mi editor ..." ] || fail "editor text"
end_program
[ -f "$folder/Configuracion.ini" ] || fail "no Configuracion.ini beside velmar-rtf.exe"
[ ! -e "$work/elsewhere/Configuracion.ini" ] || fail "Configuracion.ini written in the current folder"

step "Clientes linked: Navegador shows record 1"
link_database "$folder/Clientes/" "$folder/Configuracion.ini"
start_program "$folder/velmar-rtf.exe" "$title"
drive command "$title" 1261 || fail "could not post Navegador"
drive wait "$navigator" 30000 || fail "the navigator did not open"
drive expect "$navigator" 1905 1 15000 || fail "record 1 of Clientes is not shown"
screenshot "$out/release-unzipped.png"
drive close "$navigator" || fail "could not close the navigator"
drive gone "$navigator" 10000 || fail "the navigator stayed open"
end_program
grep -qF "Vinculado=$clientes\\" "$folder/Configuracion.ini" || fail "Vinculado is not Clientes: $(cat "$folder/Configuracion.ini")"
echo "PASS"
