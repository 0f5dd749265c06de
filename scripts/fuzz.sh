#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 30)
# on a copy of its seed corpus. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
# An input that breaks a target is kept in $build_dir/fuzz-artifacts/<target>/;
# add it to tests/fuzz/corpus/<target>/ together with the fix.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DVEZOR_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target fuzz_all --parallel "$(nproc)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
export QT_QPA_PLATFORM=offscreen
failed=()
for t in "${targets[@]}"; do
  corpus=$(mktemp -d)
  log=$(mktemp)
  artifacts="$build_dir/fuzz-artifacts/$t/"
  mkdir -p "$artifacts"
  [ -d "tests/fuzz/corpus/$t" ] && cp -r "tests/fuzz/corpus/$t/." "$corpus/"
  echo "== $t for ${seconds}s"
  status=0
  "$build_dir/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -max_len=1048576 -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" >"$log" 2>&1 ||
    status=$?
  # The last coverage line and the run's totals; on a failure, what broke and where.
  grep -E '^#[0-9]+[[:space:]]' "$log" | tail -n 1 || true
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
  if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|fuzz check failed|Test unit written|^    #[0-9]+ ' "$log" | head -n 40 || true
    echo "fuzz target $t failed (exit $status); input kept in $artifacts"
    failed+=("$t")
  fi
  rm -rf "$corpus" "$log"
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
