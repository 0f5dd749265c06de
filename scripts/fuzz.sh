#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 30)
# on a copy of its seed corpus. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DVEZOR_FUZZ=ON -DBUILD_TESTING=OFF \
  -DVEZOR_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target fuzz_all --parallel "$(nproc)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
  corpus=$(mktemp -d)
  [ -d "tests/fuzz/corpus/$t" ] && cp -r "tests/fuzz/corpus/$t/." "$corpus/"
  echo "== $t for ${seconds}s"
  "$build_dir/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -max_len=1048576 -print_final_stats=1 "$corpus" 2>&1 | grep -E 'stat::number_of_executed_units|DONE|INITED|ERROR|SUMMARY|Test unit written' | tail -n 6
  status=${PIPESTATUS[0]}
  rm -rf "$corpus"
  if [ "$status" -ne 0 ]; then echo "fuzz target $t failed"; exit 1; fi
done
