#!/usr/bin/env bash
# Sets up, builds and runs every test (warnings are errors here).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Every C++ file as clang-format lays it out (the root .clang-format).
find src tools tests bench -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run -Werror
# Numbers go out through the locale-free writers: a printf float conversion
# writes the desktop's decimal comma under a Russian locale.
if grep -rnE '"[^"]*%[-+#0-9.*]*[fFeEgGaA][^"]*"' src tools --include='*.cpp' --include='*.h'; then
  echo "test.sh: a printf float conversion above; write numbers with movenumber::fixedText" >&2
  exit 1
fi
# The benchmarks are built here too, so that they keep compiling.
BUILD_DIR=${BUILD_DIR:-build-test} scripts/build.sh -DVEZOR_WERROR=ON -DVEZOR_BENCH=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build-test}" --output-on-failure --parallel "$(nproc)"
# The .deb as a user gets it, unpacked into a scratch root and run from there.
tests/install/installed_run.sh --deb "${BUILD_DIR:-build-test}"
