# What every end-to-end script shares (sourced by bash, after `driver` is set
# or before it is used): the launcher of the .exe files ($VELMAR_EMULATOR:
# scripts/wine-run in the Windows build, empty natively), failing with a
# reason, the steps' headings, the driver, a host path as the program sees it
# (drive Z: under Wine), and the program's start and end, its settings file,
# Leer RTF, a search criterion and screenshots.
run="${VELMAR_EMULATOR:-}"
fail() {
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
}
step() { echo "-- $*"; }
drive() { $run "$driver" "$@"; }
winpath() { if [ -n "$run" ]; then printf 'Z:%s' "$1" | tr / '\\'; else printf '%s' "$1"; fi; }

# The program EXE started in the background (killed should the script end
# early), and its window titled TITLE ("Velmar rtf" unless given) awaited.
start_program() {
    program_title=${2:-Velmar rtf}
    $run "$1" &
    program=$!
    trap 'kill $program 2>/dev/null || true' EXIT
    drive wait "$program_title" 30000 || fail "no visible window titled '$program_title'"
}
# Salir: the window goes and the program ends with status 0.
end_program() {
    drive command "$program_title" 1258 || fail "could not post Salir"
    drive gone "$program_title" 15000 || fail "the window stayed after Salir"
    local status=0
    wait "$program" || status=$?
    trap - EXIT
    program=
    [ "$status" = 0 ] || fail "the program exited with status $status"
}
# A settings file INI that links the database folder FOLDER (a host path).
link_database() { printf '[Base Datos]\r\nVinculado=%s\r\n' "$(winpath "$1")" >"$2"; }
# Leer RTF of the host file PATH through the real open dialog.
read_rtf() {
    drive command "$program_title" 1254 || fail "could not post Leer RTF"
    drive filedialog "$program_title" "$(winpath "$1")" 20000 || fail "the open dialog did not take $1"
}
# Buscar opened, and FIELD with the first operator ("=") and VALUE applied.
apply_criterion() {
    drive command "$program_title" 1262 || fail "could not post Buscar"
    drive wait Buscar 15000 || fail "the search dialog did not open"
    drive pick Buscar 7002 "$1" || fail "no $1 in the field box"
    drive choose Buscar 7003 0 || fail "could not choose the first operator entry"
    drive click Buscar 7013 || fail "could not click Aplicar"
    drive type Buscar 7007 "$2" || fail "could not type the value"
    drive expect Buscar 7007 "$2" 10000 || fail "the value did not arrive"
}
# A screenshot of the whole screen saved as PATH, once the drawing has settled.
screenshot() {
    sleep 1
    import -window root "$1" || fail "no screenshot $1"
    echo "screenshot: $1"
}
# A large database FOLDER (host path) of 50 records, Nombre Ana (odd records)
# and Eva (even), behind a hole of MB mebibytes of whole 54-byte cells of
# record 0 without a name: the scans read it all, and it costs no disk.
# Needs $velmar_db.
large_database() {
    local folder=$1 mb=$2 name csv
    name=$(basename "$folder")
    csv="$folder.csv"
    printf 'Registro,Nombre:1\r\n' >"$csv"
    for r in $(seq 1 50); do
        if [ $((r % 2)) -eq 1 ]; then printf '%d,Ana\r\n' "$r"; else printf '%d,Eva\r\n' "$r"; fi
    done >>"$csv"
    $run "$velmar_db" import-csv "$(winpath "$csv")" "$(winpath "$folder")" >/dev/null ||
        fail "velmar-db could not import the records of $folder"
    truncate -s $(((mb * 1048576 + 53) / 54 * 54)) "$folder/hole.zbd"
    cat "$folder/$name.zbd" >>"$folder/hole.zbd"
    mv "$folder/hole.zbd" "$folder/$name.zbd"
}
