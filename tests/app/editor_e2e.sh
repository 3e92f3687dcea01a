#!/usr/bin/env bash
# The real velmar-rtf.exe, driven from outside by velmar-driver as a user
# would work with the editor:
#   - text typed into the editor arrives (read back from the control);
#   - the B toggle, the centre toggle and the red box, clicked with the
#     selection on a word, show as pressed, and a screenshot of the bar
#     reflecting that bold, centred, red selection is left in OUT_DIR;
#   - "Grabar RTF" through the platform's real save dialog writes a file that
#     holds the word in bold (\b), centred (\qc) and red, and says
#     "Fichero grabado ...";
#   - saving to the same name asks "El fichero existe ..." / "Desea
#     sobreescribir ?": No leaves the file as it was with no further message,
#     Yes replaces it;
#   - "Nuevo" and "Leer RTF" through the real open dialog bring the document
#     back with its bold word.
# Usage: editor_e2e.sh VELMAR_RTF_EXE VELMAR_DRIVER_EXE OUT_DIR
# Runs the .exe files through $VELMAR_EMULATOR (Wine in the Windows build).
set -euo pipefail
exe=$1 driver=$2 out=$3
. "$(dirname -- "${BASH_SOURCE[0]}")/../support/e2e.sh"
title="Velmar rtf"
editor=1174 bold=1134 centre=1257 red=1144 size_list=1156

fail() { printf 'FAIL: %s\n' "$*" >&2; [ -f "${document:-}" ] && cat "$document" >&2; exit 1; }

work="$out/editor"
rm -rf "$work"
mkdir -p "$work"
cp "$exe" "$work/velmar-rtf.exe"
document="$work/Documento.rtf"

cd "$work"
step "the window appears"
start_program "$work/velmar-rtf.exe" "$title"

step "typed text arrives in the editor"
drive select "$title" $editor 0 -1
drive type "$title" $editor "Hola Velmar" || fail "could not post the characters"
drive expect "$title" $editor "Hola Velmar" 10000 || fail "the typed text did not arrive"

step "bold, centred and red with the bar's buttons"
drive select "$title" $editor 0 4
for button in $bold $centre $red; do
    drive unchecked "$title" $button || fail "button $button was on before the click"
    drive click "$title" $button || fail "could not click button $button"
    drive checked "$title" $button || fail "button $button is not on after the click"
done
[ "$(drive text "$title" $size_list | tr -d '\r')" = 12 ] || fail "the size list does not show 12"

step "screenshot of the bar for the bold, centred, red selection"
screenshot "$out/editor-bar.png"

step "Grabar RTF through the real save dialog"
drive command "$title" 1255 || fail "could not post Grabar RTF"
drive filedialog "$title" "$(winpath "$document")" 20000 || fail "the save dialog did not take the name"
said=$(drive answer "$title" Programador 1 20000 | tr -d '\r') || fail "no message after saving"
[ "$said" = "Fichero grabado ..." ] || fail "the message after saving was '$said'"
[ -f "$document" ] || fail "no file at $document"
rtf=$(cat "$document")
printf '%s' "$rtf" | grep -q '\\b[ \\]' || fail "no bold (\\b) in the saved file"
printf '%s' "$rtf" | grep -q 'Hola' || fail "the text is not in the saved file"
printf '%s' "$rtf" | grep -q '\\qc' || fail "no centring (\\qc) in the saved file"
printf '%s' "$rtf" | grep -q '\\red255\\green0\\blue0' || fail "no red in the saved file's colours"
# The bold run holds "Hola" (the editor may take the word's blank along) and
# ends before "Velmar".
printf '%s' "$rtf" | tr -d '\r\n' | grep -q '\\b[ \\][^}]*Hola *\\b0[^}]*Velmar' || fail "Hola is not the bold run"
[ "$(tail -c 2 "$document" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "the file does not end with CR LF"
echo "saved: $(tr -d '\r\n' <"$document" | cut -c1-200)..."

step "saving again to the same name: No keeps the file"
cp "$document" "$work/before.rtf"
drive select "$title" $editor 0 0
drive type "$title" $editor "X"
drive expect "$title" $editor "XHola Velmar" 10000 || fail "the X did not arrive"
drive command "$title" 1255
drive filedialog "$title" "$(winpath "$document")" 20000 || fail "the save dialog did not take the name"
asked=$(drive answer "$title" Programador 7 20000 | tr -d '\r') || fail "no overwrite question"
[ "$asked" = "$(printf 'El fichero existe ...\nDesea sobreescribir ?')" ] || fail "the question was '$asked'"
drive nobox "$title" Programador 1500 || fail "a message followed the answer No"
cmp -s "$document" "$work/before.rtf" || fail "No changed the file"

step "and Yes replaces it"
drive command "$title" 1255
drive filedialog "$title" "$(winpath "$document")" 20000 || fail "the save dialog did not take the name"
drive answer "$title" Programador 6 20000 >/dev/null || fail "no overwrite question"
said=$(drive answer "$title" Programador 1 20000 | tr -d '\r') || fail "no message after saving"
[ "$said" = "Fichero grabado ..." ] || fail "the message after overwriting was '$said'"
cmp -s "$document" "$work/before.rtf" && fail "Yes left the old file"

step "Nuevo, then Leer RTF through the real open dialog"
drive command "$title" 1253
drive expect "$title" $editor "" 10000 || fail "Nuevo did not empty the editor"
drive command "$title" 1254
drive filedialog "$title" "$(winpath "$document")" 20000 || fail "the open dialog did not take the name"
drive expect "$title" $editor "XHola Velmar" 10000 || fail "the document did not come back"
drive select "$title" $editor 2 3
drive checked "$title" $bold || fail "the read document's first word is not bold"
drive select "$title" $editor 7 8
drive unchecked "$title" $bold || fail "the read document's second word is bold"

step "Salir"
end_program
echo "PASS"
