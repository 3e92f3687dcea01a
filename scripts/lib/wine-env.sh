# The Wine environment that every Velmar program runs in; sourced (POSIX sh) by
# scripts/wine-run and scripts/wine-prefix after they set `velmar_root` to the
# source tree.
#
#   VELMAR_WINEPREFIX  the project's private Wine prefix
#                      (default: build/windows/wineprefix in the source tree)

WINEPREFIX="${VELMAR_WINEPREFIX:-$velmar_root/build/windows/wineprefix}"
case "$WINEPREFIX" in
    /*) ;;
    *) WINEPREFIX="$PWD/$WINEPREFIX" ;; # Wine wants an absolute path
esac
export WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=-all
# The C locale gives the ANSI code page 1252 that the databases are written in;
# other locales change it (ja: 932, ru: 1251). Its UTF-8 form keeps that code
# page and lets Wine read and write host file names and command-line
# arguments beyond ASCII (a Start menu entry "Guía de Velmar", a search for
# "Begoña"), which plain C turns into nothing or into question marks.
export LC_ALL=C.UTF-8
# With the debugger disabled, a program that crashes exits with status 5; with
# it, the crash exits 0 (no display) or waits on a crash dialog (under X). Mono
# and Gecko are not needed, and offering to install them would open a dialog.
# Without winemenubuilder, a shortcut that a program (the installer) makes
# stays in the prefix instead of becoming a menu entry of the Linux desktop.
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d;winemenubuilder.exe=d"
unset WINESERVER WINELOADER
