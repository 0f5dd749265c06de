#!/usr/bin/env bash
# Runs VEzor as installed, with a fresh home, as a user would:
#   installed_run.sh --install BUILD_DIR   cmake --install into a scratch prefix
#   installed_run.sh --deb BUILD_DIR       the .deb CPack makes, unpacked with dpkg -x
# Checks the desktop files, the manual pages, the font list, a project laid out and
# written, and that nothing below the prefix changed.
set -euo pipefail
mode=$1
build=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "installed_run: $*" >&2
  exit 1
}

case $mode in
--install)
  prefix=$scratch/prefix
  cmake --install "$build" --prefix "$prefix" >/dev/null
  ;;
--deb)
  (cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >/dev/null)
  deb=$(ls "$scratch"/pkg/vezor_*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  grep -q libqt6widgets6 <<<"$depends" || fail "no Qt in Depends: $depends"
  contents=$(dpkg-deb -c "$deb")
  grep -q ' ./usr/bin/vezor$' <<<"$contents" || fail "no /usr/bin/vezor in the package"
  dpkg -x "$deb" "$scratch/root"
  prefix=$scratch/root/usr
  ;;
*) fail "usage: installed_run.sh --install|--deb BUILD_DIR" ;;
esac

for f in bin/vezor bin/vezor-gcode bin/vezor-fontc share/vezor/font/A-Chertezh/LICENSE.txt \
  share/icons/hicolor/scalable/apps/org.vezor.VEzor.svg share/man/man1/vezor-gcode.1 \
  share/man/man1/vezor-fontc.1; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
desktop-file-validate "$prefix/share/applications/org.vezor.VEzor.desktop"
report=$(appstreamcli validate --no-net "$prefix/share/metainfo/org.vezor.VEzor.metainfo.xml" 2>&1) ||
  fail "metainfo: $report"
for page in vezor-gcode vezor-fontc; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "manual page $page: $warnings"
done

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$HOME"
before=$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)

"$prefix/bin/vezor-fontc" --help >/dev/null
libraries=$(ldd "$prefix/bin/vezor-gcode")
! grep -q libQt6Widgets <<<"$libraries" || fail "vezor-gcode links the widgets library"
# The first start makes the user's folder and says so; later starts say nothing.
"$prefix/bin/vezor-gcode" --list-fonts >"$scratch/fonts" 2>"$scratch/said"
[ -d "$HOME/VEzor/font" ] || fail "no ~/VEzor/font after the first start"
grep -q "$HOME/VEzor" "$scratch/said" || fail "the first start did not name the folder: $(cat "$scratch/said")"
"$prefix/bin/vezor-gcode" --list-fonts >"$scratch/fonts" 2>"$scratch/said"
[ ! -s "$scratch/said" ] || fail "a later start said: $(cat "$scratch/said")"
grep -qx "font/A-Chertezh	$prefix/share/vezor/font/A-Chertezh" "$scratch/fonts" ||
  fail "installed font not listed: $(cat "$scratch/fonts")"

mkdir -p "$HOME/VEzor/Projects"
printf '8//\r\n100//\r\n5//\r\n1//\r\nVEzor\r\n' >"$HOME/VEzor/Projects/plate.txt"
(cd "$HOME/VEzor/Projects" && "$prefix/bin/vezor-gcode" --font font/A-Chertezh --out plate.gcode plate.txt)
grep -q '^G1X' "$HOME/VEzor/Projects/plate.gcode" || fail "no drawing move in the program"

after=$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "files below the prefix changed: $(diff <(echo "$before") <(echo "$after"))"
echo "installed_run $mode: ok"
