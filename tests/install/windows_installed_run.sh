#!/usr/bin/env bash
# windows_installed_run.sh BUILD_DIR: the Windows installer under Wine, as a user meets it.
# Installs <build>/VEzor-setup.exe silently, checks what it put where (programs, fonts with
# their licences, Start-menu entry, uninstaller in the registry), runs the installed
# vezor-gcode (first start: Documents\VEzor made and named, the settings written to the
# registry; a project with a Cyrillic name written), starts the window program, and
# uninstalls. Runs in $WINEPREFIX (scripts/test-windows.sh makes a fresh one).
set -euo pipefail
build=$(cd "$1" && pwd)
fail() {
  echo "windows_installed_run: $*" >&2
  wineserver -k 2>/dev/null || true
  exit 1
}
[ -n "${WINEPREFIX:-}" ] || fail "set WINEPREFIX"
export WINEDEBUG=-all
unset WINEPATH QT_QPA_PLATFORM DISPLAY
setup=$build/VEzor-setup.exe
[ -f "$setup" ] || fail "no installer: $setup"

drive=$WINEPREFIX/drive_c
[ ! -L "$drive/users/$(id -un)/Documents" ] ||
  fail "Documents in the Wine prefix is the Linux home (scripts/test-windows.sh makes a sealed prefix)"
target=$drive/VEzorTest
rm -rf "$target"
wine "$setup" /S '/D=C:\VEzorTest' || fail "the installer failed"
for f in bin/vezor.exe bin/vezor-gcode.exe bin/vezor-fontc.exe bin/Qt6Widgets.dll \
  bin/platforms/qwindows.dll bin/platforms/qoffscreen.dll bin/libstdc++-6.dll \
  share/vezor/font/A-Chertezh/LICENSE.txt share/vezor/font/A-Chertezh/192 uninstall.exe; do
  [ -e "$target/$f" ] || fail "$f is not installed"
done
[ ! -e "$target/bin/font" ] || fail "fonts beside the programs: the installed program would write there"
shortcut=$(find "$drive/ProgramData" -name 'VEzor.lnk' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu entry"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VEzor' /v UninstallString \
  2>/dev/null | grep -q 'uninstall.exe' || fail "the uninstaller is not registered"

# First start: the user's folder is made and named; the fonts are the installed ones.
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
wine 'C:\VEzorTest\bin\vezor-gcode.exe' --list-fonts >"$out/fonts" 2>"$out/said" ||
  fail "vezor-gcode --list-fonts failed: $(cat "$out/said")"
documents=$(find "$drive/users" -maxdepth 3 -type d -name VEzor -path '*/Documents/*' | head -1)
[ -n "$documents" ] && [ -d "$documents/font" ] || fail "no Documents\\VEzor\\font after the first start"
grep -q 'Documents/VEzor' "$out/said" || fail "the first start did not name the folder: $(cat "$out/said")"
grep -q $'^font/A-Chertezh\tC:/VEzorTest/share/vezor/font/A-Chertezh$' "$out/fonts" ||
  fail "installed font not listed: $(cat "$out/fonts")"
wine 'C:\VEzorTest\bin\vezor-gcode.exe' --list-fonts >/dev/null 2>"$out/said"
[ ! -s "$out/said" ] || fail "a later start said: $(cat "$out/said")"
# The machining settings are read from the registry: a line ends with a lift to ZBezopS.
wine reg add 'HKCU\Software\VEzor\VEzor\Shrift' /v ZBezopS /d 17 /f >/dev/null 2>&1 ||
  fail "cannot write the settings into the registry"

# A project whose name and folder are Cyrillic, written where the user keeps projects.
mkdir -p "$documents/Проекты"
printf '8//\r\n100//\r\n5//\r\n1//\r\nVEzor\r\n' >"$documents/Проекты/Табличка.txt"
(cd "$documents/Проекты" && wine 'C:\VEzorTest\bin\vezor-gcode.exe' --font 'font\A-Chertezh' \
  --out 'Табличка.gcode' 'Табличка.txt') || fail "the project was not written"
grep -q '^G1X' "$documents/Проекты/Табличка.gcode" || fail "no drawing move in the program"
grep -q '^G0Z17' "$documents/Проекты/Табличка.gcode" || fail "ZBezopS from the registry not used"
! grep -q $'\r\r' "$documents/Проекты/Табличка.gcode" || fail "CR CR in the program"

# The window program starts and keeps running (no display: the offscreen platform).
status=0
WINEQT_QPA_PLATFORM=offscreen timeout 20 wine 'C:\VEzorTest\bin\vezor.exe' >/dev/null 2>&1 ||
  status=$?
[ "$status" = 124 ] || fail "vezor.exe ended by itself (status $status)"
wineserver -k 2>/dev/null || true

# Uninstalled: the programs and fonts go, the user's folder stays.
wine 'C:\VEzorTest\uninstall.exe' /S || fail "the uninstaller failed"
# The uninstaller hands over to a copy of itself and returns: wait until Wine has nothing left to run.
timeout 300 wineserver -w || fail "the uninstaller did not finish"
[ ! -e "$target/bin" ] && [ ! -e "$target/share" ] || fail "files left after uninstalling"
[ -z "$(find "$drive/ProgramData" -name 'VEzor.lnk')" ] || fail "the Start-menu entry is left"
[ -f "$documents/Проекты/Табличка.txt" ] || fail "the uninstaller took the user's files"
wineserver -k 2>/dev/null || true
echo "windows_installed_run: ok"
