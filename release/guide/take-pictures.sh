#!/usr/bin/env bash
# Takes the pictures of "Guía de Velmar" from the real program: velmar-rtf.exe
# and velmar-db.exe of a Windows build, driven from outside by velmar-driver
# step by step as the guide tells it, in a Wine virtual desktop (which draws
# the windows' frames and captions). Writes release/guide/*.png; the release
# build puts them into the guide's page.
#
#   release/guide/take-pictures.sh [BUILD_DIR]     (default: build/windows)
#
# Needs the Windows build of velmar-rtf, velmar-db and velmar-driver, Wine,
# Xvfb and ImageMagick. It runs in a copy of the build's Wine prefix, inside a
# virtual X display of its own; about 40 s.
set -euo pipefail
root=$(CDPATH='' cd -- "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(CDPATH='' cd -- "${1:-$root/build/windows}" && pwd)
pictures="$root/release/guide"
work="$build/guide-pictures"
prefix="$work/wineprefix"
desktop_size=1100x880

# Once inside: a display of the desktop's size and a warm Wine prefix.
if [ -z "${VELMAR_GUIDE_INSIDE:-}" ]; then
    "$root/scripts/wine-prefix" create
    rm -rf "$work"
    mkdir -p "$work"
    cp -a "$build/wineprefix" "$prefix"
    rm -f "$prefix/velmar-prefix.lock"
    status=0
    VELMAR_GUIDE_INSIDE=1 VELMAR_WINEPREFIX="$prefix" \
        xvfb-run -a -s "-screen 0 ${desktop_size}x24" \
        "$root/scripts/wine-prefix" run "${BASH_SOURCE[0]}" "$build" || status=$?
    rm -rf "$prefix"
    exit "$status"
fi

driver="$build/tools/driver/velmar-driver.exe"
VELMAR_EMULATOR="$root/scripts/wine-run"
. "$root/tests/support/e2e.sh"
title="Velmar rtf" link="Base de Datos Vinculada" navigator="Registros Base Datos"
# The folder browser is the dialog with the tree view; its OK button is 1.
browser="#14145"

# Every program of this prefix runs in one virtual desktop, framed by Wine.
$run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Velmar /f >/dev/null
$run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Velmar /t REG_SZ /d "$desktop_size" /f >/dev/null

# The program as the installer leaves it, in C:\Velmar.
folder="$prefix/drive_c/Velmar"
mkdir -p "$folder/Clientes"
cp "$build/app/velmar-rtf.exe" "$build/cli/velmar-db.exe" "$folder/"
cp "$root/samples/Carta.rtf" "$folder/Clientes/"
$run "$folder/velmar-db.exe" import-csv "$(winpath "$root/samples/clientes.csv")" 'C:\Velmar\Clientes' >/dev/null ||
    fail "velmar-db could not import the sample"

# The desktop around the windows cut away, with a margin of its own colour.
picture() {
    sleep 1
    import -window root "$work/$1.png"
    convert "$work/$1.png" -trim +repage -bordercolor "$(convert "$work/$1.png" -format '%[pixel:p{w-2,h-2}]' info:)" \
        -border 12 -strip -colors 256 "PNG8:$pictures/$1.png" || fail "no picture $1"
    echo "picture: $1.png"
}

cd "$folder"
step "the main window and its formatting bar"
start_program "$folder/velmar-rtf.exe" "$title"
picture main-window

step "Vincular: the link dialog, the folder browser, Clientes"
drive command "$title" 1260 || fail "could not post Vincular"
drive wait "$link" 15000 || fail "the link dialog did not open"
picture link-dialog
drive click "$link" 1004 &
browsing=$!
drive folder "$link" 'C:\Velmar\Clientes' 15000 || fail "the folder browser did not take Clientes"
picture folder-browser
drive click "$browser" 1 || fail "could not accept the folder"
wait $browsing || true
drive expect "$link" 1002 'C:\Velmar\Clientes\' 10000 || fail "Clientes is not linked"
drive click "$link" 1003 || fail "could not close the link dialog"
drive gone "$link" 10000 || fail "the link dialog stayed"

step "the letter, shown for a client by the navigator"
drive command "$title" 1254 || fail "could not post Leer RTF"
drive filedialog "$title" 'C:\Velmar\Clientes\Carta.rtf' 20000 || fail "the open dialog did not take Carta.rtf"
drive command "$title" 1261 || fail "could not post Navegador"
drive wait "$navigator" 15000 || fail "the navigator did not open"
drive type "$navigator" 1907 7 || fail "could not type the record number"
drive expect "$navigator" 1907 7 10000 || fail "the record number did not arrive"
drive click "$navigator" 1908 || fail "could not click Ir a"
drive expect "$navigator" 1905 7 15000 || fail "record 7 is not shown"
# Over the empty part of the page, so that the whole letter shows.
drive move "$navigator" 420 560 || fail "could not move the navigator"
picture letter-record
drive close "$navigator" || fail "could not close the navigator"
drive gone "$navigator" 10000 || fail "the navigator stayed"

step "Buscar with two criteria: Provincia = 8 (Lugo) and Categoria = 1 (Oro)"
apply_criterion Provincia 8
drive pick Buscar 7002 Categoria || fail "no Categoria in the field box"
drive choose Buscar 7003 0 || fail "could not choose the first operator entry"
drive click Buscar 7013 || fail "could not click Aplicar"
drive type Buscar 7009 1 || fail "could not type the second value"
drive expect Buscar 7009 1 10000 || fail "the second value did not arrive"
drive click Buscar 7014 &
searching=$!
drive wait Programador 30000 || fail "no result message"
picture search-result
said=$(drive answer "$title" Programador 1 20000 | tr -d '\r') || fail "could not answer the result message"
[ "$said" = "6 Resultados ..." ] || fail "the result message was '$said'"
wait $searching || true
drive click "#7014" 7012 || fail "could not close the search dialog"
drive gone "#7014" 10000 || fail "the search dialog stayed"

step "the navigator on the results"
drive command "$title" 1261 || fail "could not post Navegador"
drive wait "$navigator" 15000 || fail "the navigator did not open"
drive move "$navigator" 420 560 || fail "could not move the navigator"
second=$($run "$folder/velmar-db.exe" search 'C:\Velmar\Clientes' Provincia = 8 Categoria 01 1 | tr -d '\r' | sed -n 2p)
drive click "$navigator" 1909 || fail "could not click Navegar con búsqueda"
drive checked "$navigator" 1909 || fail "Navegar con búsqueda did not check"
drive click "$navigator" 1903 || fail "could not click >>"
drive expect "$navigator" 1905 "$second" 15000 || fail "the second result (record $second) is not shown"
picture search-navigator
drive close "$navigator" || fail "could not close the navigator"
drive gone "$navigator" 10000 || fail "the navigator stayed"
end_program

step "velmar-db merge --into: every letter of the search in one document"
printf '%s\r\n' '@echo off' 'prompt $P$G' 'echo on' \
    'velmar-db merge Clientes Clientes\Carta.rtf --into cartas.rtf --search Provincia = 8 Categoria 01 1' \
    >"$folder/combinar.bat"
$run start cmd /k 'C:\Velmar\combinar.bat' &
console=$!
sleep 1
for _ in $(seq 50); do [ -f "$folder/cartas.rtf" ] && break; sleep 0.2; done
[ -f "$folder/cartas.rtf" ] || fail "velmar-db wrote no cartas.rtf"
picture merge-into
wait $console || true
echo "PASS"
