#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 (run as root or with sudo).
set -euo pipefail
packages=(build-essential cmake ninja-build ccache qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev googletest libbenchmark-dev clang clang-format clang-tidy
          librecad-data hershey-fonts-data libclang-rt-14-dev
          appstream desktop-file-utils man-db file qt6-translations-l10n
          gcc make linuxcnc-uspace qt6-serialport-dev socat
          libfreetype-dev libboost-dev libpolyclipping-dev libfontconfig-dev
          fonts-dejavu-core fonts-paratype fonts-comfortaa
          libzint-dev zbar-tools dmtx-utils libdime-dev locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Two shipped fonts are built from the single-stroke SVG fonts of the inkscape
# package; the test that rebuilds the shipped fonts needs them. Only that folder
# is taken from the package, where the package would put it, not all of Inkscape.
svg_fonts=/usr/share/inkscape/extensions/svg_fonts
if [ ! -f "$svg_fonts/EMSTech.svg" ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  scratch=$(mktemp -d)
  (cd "$scratch" && apt-get download inkscape >/dev/null 2>&1 ||
    { $sudo_cmd apt-get update -qq && apt-get download inkscape >/dev/null; })
  dpkg-deb --fsys-tarfile "$scratch"/inkscape_*.deb |
    $sudo_cmd tar -x -C / ./usr/share/inkscape/extensions/svg_fonts
  rm -rf "$scratch"
fi

# The tests run window code under a Russian locale, where the C library writes a
# decimal comma: the machine side must not.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
