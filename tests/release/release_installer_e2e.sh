#!/usr/bin/env bash
# The release installer as a Windows user runs it, in a fresh copy of the Wine
# prefix (nothing of an earlier run or of the other tests in it):
#   - installed silently (/S) without administrator rights into the user's
#     own programs folder: the zip's files, byte for byte, and the uninstaller;
#   - an uninstall entry for the current user (name, version, publisher, icon,
#     size, uninstall and quiet-uninstall commands) and the Start menu
#     entries "Velmar rtf" and the guide, pointing at the installed files;
#   - the installed velmar-rtf.exe links the installed Clientes through the
#     link dialog and its folder browser, and on "Salir" writes
#     Configuracion.ini in the install folder; installing again keeps it;
#   - uninstalled silently with the entry's quiet-uninstall command: the
#     installed files, Configuracion.ini, the shortcuts and the entry are
#     gone; a document the user saved in the folder, and the folder with it,
#     stays;
#   - Wine writes no menu entries into the Linux desktop meanwhile.
# Usage: release_installer_e2e.sh INSTALLER ZIP VERSION CMAKE VELMAR_DRIVER_EXE OUT_DIR
# Runs inside a Wine prefix (scripts/wine-prefix run, as ctest's Windows tests
# do), whose copy it then uses with a wineserver of its own.
set -euo pipefail
installer=$1 zip=$2 version=$3 cmake=$4 driver=$5 out=$6
. "$(dirname -- "${BASH_SOURCE[0]}")/../support/e2e.sh"
work="$out/installer"
prefix="$work/wineprefix"

if [ -z "${VELMAR_FRESH_PREFIX:-}" ]; then
    [ -f "$installer" ] || fail "no installer at $installer"
    [ -d "${WINEPREFIX:-}" ] || fail "no Wine prefix to copy (run inside scripts/wine-prefix run)"
    rm -rf "$work"
    mkdir -p "$work/xdg"
    cp -a "$WINEPREFIX" "$prefix"
    rm -f "$prefix/velmar-prefix.lock"
    status=0
    VELMAR_FRESH_PREFIX=1 VELMAR_WINEPREFIX="$prefix" XDG_DATA_HOME="$work/xdg" XDG_CONFIG_HOME="$work/xdg" \
        "$(dirname -- "$run")/wine-prefix" run bash "${BASH_SOURCE[0]}" "$@" || status=$?
    # What Wine would have put into the Linux desktop's menus.
    menus=$(find "$work/xdg" -type f | head -5)
    [ -z "$menus" ] || fail "Wine wrote menu entries into the Linux desktop: $menus"
    # The prefix is kept after a failure, to be looked into.
    [ "$status" != 0 ] || rm -rf "$prefix"
    exit "$status"
fi

title="Velmar rtf" link="Base de Datos Vinculada" navigator="Registros Base Datos"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmar'
users=("$prefix"/drive_c/users/*/AppData/Local)
[ ${#users[@]} = 1 ] && [ -d "${users[0]}" ] || fail "not one user's AppData\\Local in the prefix: ${users[*]}"
profile=${users[0]%/AppData/Local}
user=${profile##*/}
folder="${profile}/AppData/Local/Programs/Velmar"
windows_folder="C:\\users\\$user\\AppData\\Local\\Programs\\Velmar"
menu="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
mkdir -p "$work/unzipped" "$work/elsewhere"
(cd "$work/unzipped" && "$cmake" -E tar xf "$zip") || fail "could not unzip $zip"

# The value NAME of the uninstall entry, as reg query prints it.
entry() {
    $run reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

step "silent install into the user's programs folder"
$run "$installer" /S || fail "the installer exited with status $?"
[ -d "$folder" ] || fail "nothing installed in $folder"
found=$(cd "$folder" && find . -type f | sort | tr '\n' ' ')
expected=$(cd "$work/unzipped" && { find . -type f; echo ./Desinstalar.exe; } | sort | tr '\n' ' ')
[ "$found" = "$expected" ] || fail "installed files: $found (expected $expected)"
(cd "$work/unzipped" && find . -type f) | while read -r file; do
    cmp -s "$work/unzipped/$file" "$folder/$file" || fail "$file differs from the zip's"
done

step "the uninstall entry"
[ "$(entry DisplayName)" = "Velmar rtf" ] || fail "DisplayName is '$(entry DisplayName)'"
[ "$(entry DisplayVersion)" = "$version" ] || fail "DisplayVersion is '$(entry DisplayVersion)'"
[ "$(entry Publisher)" = "Velmar" ] || fail "Publisher is '$(entry Publisher)'"
[ "$(entry DisplayIcon)" = "$windows_folder\\velmar-rtf.exe,0" ] || fail "DisplayIcon is '$(entry DisplayIcon)'"
[ "$(entry UninstallString)" = "\"$windows_folder\\Desinstalar.exe\"" ] ||
    fail "UninstallString is '$(entry UninstallString)'"
quiet=$(entry QuietUninstallString)
[ "$quiet" = "\"$windows_folder\\Desinstalar.exe\" /S" ] || fail "QuietUninstallString is '$quiet'"
# The size in KiB, as Explorer shows it: within a tenth of what is on disk.
size=$(($(entry EstimatedSize)))
disk=$(du -sk "$folder" | cut -f1)
[ $((size * 10)) -ge $((disk * 9)) ] && [ $((size * 10)) -le $((disk * 11)) ] ||
    fail "EstimatedSize is $size KiB, the folder holds $disk KiB"

step "Start menu entries and their targets"
for shortcut in "Velmar rtf=velmar-rtf.exe" "Guía de Velmar=Guia de Velmar.html"; do
    lnk="$menu/${shortcut%%=*}.lnk"
    [ -f "$lnk" ] || fail "no Start menu entry ${shortcut%%=*}"
    # The target's path is stored in ANSI and in UTF-16: without the NULs both
    # read alike. (No other path in the entry names the file: the icon is the
    # target's own.)
    tr -d '\000' <"$lnk" | grep -qaF "$windows_folder\\${shortcut#*=}" ||
        fail "the entry ${shortcut%%=*} does not point at $windows_folder\\${shortcut#*=}"
done

step "the installed program links the installed Clientes and keeps it on Salir"
cd "$work/elsewhere"
start_program "$folder/velmar-rtf.exe" "$title"
drive command "$title" 1260 || fail "could not post Vincular"
drive wait "$link" 15000 || fail "the link dialog did not open"
drive click "$link" 1004 &
browsing=$!
drive folder "$link" "$windows_folder\\Clientes" 15000 || fail "the folder browser did not open"
# The folder browser is the dialog with the tree view; its OK button is 1.
drive click "#14145" 1 || fail "could not accept the folder"
wait $browsing || true
drive expect "$link" 1002 "$windows_folder\\Clientes\\" 10000 || fail "Clientes is not in the link dialog"
drive click "$link" 1003 || fail "could not close the link dialog"
drive gone "$link" 10000 || fail "the link dialog stayed"
drive command "$title" 1261 || fail "could not post Navegador"
drive expect "$navigator" 1905 1 15000 || fail "the navigator does not show record 1 of Clientes"
drive close "$navigator" || fail "could not close the navigator"
drive gone "$navigator" 10000 || fail "the navigator stayed"
end_program
settings="$folder/Configuracion.ini"
grep -qxF "Vinculado=$windows_folder\\Clientes\\" <(tr -d '\r' <"$settings" 2>/dev/null) ||
    fail "Configuracion.ini in the install folder does not link Clientes: $(cat "$settings" 2>/dev/null)"
cp "$settings" "$work/settings-before"

step "installed again over itself: the settings are kept"
$run "$installer" /S || fail "the second install exited with status $?"
cmp -s "$settings" "$work/settings-before" || fail "Configuracion.ini changed or went: $(cat "$settings" 2>/dev/null)"

step "silent uninstall through the entry's quiet-uninstall command"
echo "Mi carta" >"$folder/Mi carta.txt"
uninstaller=$(printf '%s' "$quiet" | sed -n 's/^"\(.*\)" \/S$/\1/p')
uninstaller=${uninstaller##*\\}
[ -f "$folder/$uninstaller" ] || fail "no uninstaller '$uninstaller' in the install folder"
$run "$folder/$uninstaller" /S || fail "the uninstaller exited with status $?"
# It goes on from a copy of itself in the temporary folder, so that it can
# remove itself, and removes the entry last: wait for that.
for _ in $(seq 50); do $run reg query "$key" >/dev/null 2>&1 || break; sleep 0.2; done
[ -z "$(entry DisplayName)" ] || fail "the uninstall entry stayed"
[ -f "$folder/Mi carta.txt" ] || fail "the user's document in the install folder went with the program"
left=$(cd "$folder" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./Mi carta.txt " ] || fail "left in the install folder: $left (expected only the user's document)"
for shortcut in "Velmar rtf" "Guía de Velmar"; do
    [ ! -e "$menu/$shortcut.lnk" ] || fail "the Start menu entry $shortcut stayed"
done
echo "PASS"
