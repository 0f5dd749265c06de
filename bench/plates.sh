#!/usr/bin/env bash
# 1,000 plates of three lines from a table into 1,000 G-code files with
# vezor-gcode, the shipped main font; prints each run's time and the median.
#
#   bench/plates.sh [BUILD_DIR] [RUNS] [WORK_DIR]
#
# BUILD_DIR defaults to build, RUNS to 5; WORK_DIR (default: a new temporary
# folder) receives plate.txt, plates.csv and the files.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
work=${3:-$(mktemp -d)}
tool=$(cd "$build" && pwd)/vezor-gcode
mkdir -p "$work"

printf '%s\r\n' '5//Интервал по строкам в мм' '100//Ширина поля в мм' '4.4//Высота шрифта в мм' \
    '0.75//Ширина шрифта' '<@ALIGN=C>{Фамилия} {Имя}' '<@ALIGN=C>{Должность}' \
    '<@ALIGN=C>Таб. {N:0001}' > "$work/plate.txt"

awk 'BEGIN {
    split("Иванов Петров Сидоров Кузнецов Смирнов Попов Лебедев Козлов Новиков Морозов", f, " ");
    split("Анна Борис Вера Глеб Дарья Егор Жанна Захар Ирина Кирилл", n, " ");
    split("Инженер;Техник;\"Мастер, смена 2\";Оператор ЧПУ;Наладчик", d, ";");
    printf "Фамилия;Имя;Должность\r\n";
    for (i = 0; i < 1000; i++)
        printf "%s;%s;%s\r\n", f[i % 10 + 1], n[int(i / 10) % 10 + 1], d[i % 5 + 1];
}' > "$work/plates.csv"

times=()
for ((run = 1; run <= runs; run++)); do
    rm -rf "$work/out" && mkdir -p "$work/out"
    start=$(date +%s.%N)
    "$tool" --font font/A-Chertezh --batch "$work/plates.csv" \
        --out "$work/out/plate-{N:0001}.gcode" "$work/plate.txt" > "$work/written.txt"
    end=$(date +%s.%N)
    t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    times+=("$t")
    echo "run $run: $t s, $(ls "$work/out" | wc -l) files"
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { printf "median: %.3f s\n", a[int((NR + 1) / 2)] }'
