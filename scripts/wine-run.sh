#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe [ARG...]: runs a program of a Windows build under Wine, as
# CTest's emulator for the cross-built tests. The Wine prefix is <build>/wine (made on
# first use; $WINEPREFIX wins); Qt's and MinGW's DLLs are found through the WINEPATH
# that scripts/build-windows.sh wrote into <build>/wine-path. Wine passes no QT_*
# variable on, so each is handed over as WINEQT_*.
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${WINEPREFIX:-$build/wine}
if [ -z "${WINEPATH:-}" ] && [ -f "$build/wine-path" ]; then WINEPATH=$(cat "$build/wine-path"); fi
export WINEPATH
# The prefix is ready once wineboot has returned (the registry files are written later, when
# the Wine server saves them); the lock is not handed down to the server wineboot leaves running.
ready=$WINEPREFIX/vezor-prefix-ready
if [ ! -f "$ready" ]; then
  mkdir -p "$WINEPREFIX"
  (flock 9; [ -f "$ready" ] || {
    WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 9>&-
    touch "$ready"
  }) 9>"$WINEPREFIX.lock"
fi
while IFS='=' read -r name value; do
  export "WINE$name=$value"
done < <(env | grep '^QT_[A-Z_]*=' || true)
exec wine "$@"
