#!/usr/bin/env bash
# The command line against the two floors, in one run, runs interleaved:
#  - text to G-code, 10,000 lines in the generated font (bench_main_road
#    --write-fixture), VEzor and GRBL profiles with --out, each against
#    floor_write writing the same bytes (1 MB writes, sync, rename);
#  - peak memory of the VEzor profile at 1,000, 10,000 and 100,000 lines
#    (standard output to /dev/null);
#  - vezor-gcode --check of a 1,000,000-line file (bench/make_gcode.py)
#    against floor_read (lines counted, X and Y parsed).
# Prints each figure's median, its ratio to its floor and peak memory.
#
#   bench/cli_ratios.sh [BUILD_DIR] [RUNS] [WORK_DIR]
#
# BUILD_DIR defaults to build (configured with -DVEZOR_BENCH=ON), RUNS to 5;
# WORK_DIR (default: a new temporary folder) receives the fixtures and output.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
work=${3:-$(mktemp -d)}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
work=$(cd "$work" && pwd)
# The stored settings of whoever runs this play no part.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$XDG_CONFIG_HOME"
tool="$build/vezor-gcode"

for lines in 1000 10000 100000; do
    [[ -f "$work/p$lines/bench.txt" ]] ||
        "$build/bench_main_road" --write-fixture "$work/p$lines" "$lines" > /dev/null
done
[[ -f "$work/big.gcode" ]] || python3 "$here/make_gcode.py" 1000000 "$work/big.gcode"

# seconds and peak KiB of one command (its standard output dropped), as "SECONDS KIB"
measure() {
    local start end
    start=$(date +%s.%N)
    /usr/bin/time -f %M -o "$work/peak" "$@" > /dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" -v m="$(tail -1 "$work/peak")" 'BEGIN { printf "%.3f %d\n", b - a, m }'
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

declare -A t peak
add() { t[$1]+="$2"$'\n'; peak[$1]=$(( ${peak[$1]:-0} > $3 ? ${peak[$1]:-0} : $3 )); }

p10="$work/p10000"
for ((run = 1; run <= runs; run++)); do
    for profile in VEzor GRBL; do
        read -r s k < <(measure "$tool" --profile "$profile" --font "$p10/font/Bench" \
            --out "$work/out-$profile" "$p10/bench.txt")
        add "$profile" "$s" "$k"
        s=$("$build/floor_write" "$work/out-$profile" "$work/floor-$profile" 1 | awk '/median/ { print $2 }')
        add "floor-$profile" "$s" 0
    done
    read -r s k < <(measure "$tool" --check "$work/big.gcode")
    add check "$s" "$k"
    s=$("$build/floor_read" "$work/big.gcode" 1 | awk '/median/ { print $2 }')
    add floor-read "$s" 0
    for lines in 1000 100000; do
        read -r s k < <(measure "$tool" --profile VEzor --font "$work/p$lines/font/Bench" \
            "$work/p$lines/bench.txt")
        add "lines$lines" "$s" "$k"
    done
    echo "run $run done" >&2
done

m() { printf '%s' "${t[$1]}" | median; }
ratio() { awk -v a="$(m "$1")" -v b="$(m "$2")" 'BEGIN { printf "%.1f", a / b }'; }
mb() { awk -v k="${peak[$1]}" 'BEGIN { printf "%.0f MB", k / 1024 }'; }
echo "bytes: VEzor $(stat -c %s "$work/out-VEzor"), GRBL $(stat -c %s "$work/out-GRBL")"
for profile in VEzor GRBL; do
    echo "10,000 lines $profile: $(m "$profile") s, floor $(m "floor-$profile") s," \
        "ratio $(ratio "$profile" "floor-$profile"), peak $(mb "$profile")"
done
echo "1,000 lines VEzor: $(m lines1000) s, peak $(mb lines1000)"
echo "100,000 lines VEzor: $(m lines100000) s, peak $(mb lines100000)"
echo "--check 1,000,000 lines: $(m check) s, floor $(m floor-read) s," \
    "ratio $(ratio check floor-read), peak $(mb check)"
