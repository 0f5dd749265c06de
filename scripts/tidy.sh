#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over every C++ file of src/ and
# tools/ in the compile database of ${BUILD_DIR:-build-test}, which is configured
# (extra arguments go to cmake) and built first. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-test}
command -v run-clang-tidy >/dev/null || { echo "run-clang-tidy is missing (scripts/setup.sh installs it)" >&2; exit 1; }
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
# Moc and the generated sources need to exist before their files are read.
cmake --build "$build_dir" --parallel "$(nproc)" >/dev/null
run-clang-tidy -p "$build_dir" -quiet -j "$(nproc)" "$PWD/(src|tools)/.*\.cpp$" 2>&1 |
  grep -v -e "warnings generated" -e "^Suppressed" -e "Use -header-filter" -e "^clang-tidy-" |
  tee "$build_dir/tidy.log" || true
! grep -q -e "warning:" -e "error:" "$build_dir/tidy.log"
