#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build-asan} scripts/build.sh -DVEZOR_SANITIZE=ON -DVEZOR_WERROR=ON \
  -DCMAKE_BUILD_TYPE=Debug
export QT_QPA_PLATFORM=offscreen
# Qt and fontconfig keep caches alive until exit; leaks are not what this run looks for.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "${BUILD_DIR:-build-asan}" --output-on-failure --parallel "$(nproc)"
