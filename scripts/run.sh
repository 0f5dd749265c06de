#!/usr/bin/env bash
# Sets up, builds and starts VEzor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec "${BUILD_DIR:-build}/vezor" "$@"
