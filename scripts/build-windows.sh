#!/usr/bin/env bash
# Cross-builds VEzor for Windows (x86_64) with Debian's MinGW-w64 and the Qt for
# Windows in ../shared/tools/qt6-mingw (or $VEZOR_QT_MINGW), into
# ${BUILD_DIR:-build-windows}: vezor.exe, vezor-gcode.exe, vezor-fontc.exe and the
# tests that open no window; then lays out <build>/dist as a user gets it (the
# programs, Qt's and MinGW's DLLs, the plugins, and font/ beside them).
# With --installer it also makes <build>/VEzor-setup.exe (NSIS) from dist. Other arguments
# go to cmake at configure time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${BUILD_DIR:-build-windows}
installer=no
cmake_args=()
for a in "$@"; do
  if [ "$a" = --installer ]; then installer=yes; else cmake_args+=("$a"); fi
done
qt_tools=${VEZOR_QT_MINGW:-}
if [ -z "$qt_tools" ]; then
  # shared/ lies beside the clone (in a worktree of a clone, one level further up).
  for candidate in "$root/../shared" "$root/../../shared"; do
    [ -x "$candidate/tools/qt6-mingw/qt6-mingw-unpack" ] && qt_tools=$candidate/tools/qt6-mingw && break
  done
fi

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          qt6-base-dev qt6-base-dev-tools googletest cmake ninja-build ccache wine wine64 xvfb
          xauth nsis)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

[ -n "$qt_tools" ] && [ -x "$qt_tools/qt6-mingw-unpack" ] ||
  { echo "build-windows: no Qt for Windows in ../shared/tools/qt6-mingw (set VEZOR_QT_MINGW)" >&2; exit 1; }
qt=$("$qt_tools/qt6-mingw-unpack")

# Release at -O2, the level the Linux build is tested at (g++ 12's -O3 warns falsely of
# overlapping copies in std::string, and builds slower).
"$qt/bin/qt-cmake" -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DVEZOR_WERROR=ON \
  -DVEZOR_WINDOW_TESTS=OFF -DVEZOR_GTEST_SOURCE=/usr/src/googletest \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" ${cmake_args[@]+"${cmake_args[@]}"} >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
# Where Wine finds the DLLs of the programs and tests run from the build folder.
winepath() { printf 'Z:%s' "$1" | tr / '\\'; }
echo "$(winepath "$qt/bin");$(winepath /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(winepath \
  /usr/x86_64-w64-mingw32/lib)" >"$build_dir/wine-path"

# The folder a user gets: what the installer packs.
dist=$(cd "$build_dir" && pwd)/dist
rm -rf "$dist"
"$qt_tools/deploy-mingw" "$qt" "$dist" "$build_dir/vezor.exe" "$build_dir/vezor-gcode.exe" \
  "$build_dir/vezor-fontc.exe" >/dev/null
cp -r "$build_dir/font" "$dist/font"
# Qt's own buttons («Да», «Нет», «Отмена») in Russian: Qt looks in translations/ beside its DLLs.
if [ -f /usr/share/qt6/translations/qtbase_ru.qm ]; then
  mkdir -p "$dist/translations"
  cp /usr/share/qt6/translations/qtbase_ru.qm "$dist/translations/"
fi
echo "build-windows: $dist"

if [ "$installer" = yes ]; then
  version=$(sed -n 's/^project(VEzor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  (cd packaging/windows && makensis -V2 -DDIST="$dist" -DOUTFILE="$dist/../VEzor-setup.exe" \
    -DVERSION="$version" vezor.nsi)
  echo "build-windows: $build_dir/VEzor-setup.exe"
fi
