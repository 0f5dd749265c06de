#!/usr/bin/env bash
# Sets up, builds and runs every test (warnings are errors here).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build-test} scripts/build.sh -DVEZOR_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build-test}" --output-on-failure --parallel "$(nproc)"
# The .deb as a user gets it, unpacked into a scratch root and run from there.
tests/install/installed_run.sh --deb "${BUILD_DIR:-build-test}"
