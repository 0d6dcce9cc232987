#!/usr/bin/env bash
# Measures the orlimo command line as a whole process: its peak memory (the
# largest resident set, beyond that of a run on an empty skin) for Apply and
# Remove on realistic skins of a few sizes (read from the file and from a
# pipe), and the time of Apply on a 1 MB skin against `cat` of the same file.
# Not a test: it prints figures.
# Usage: scripts/measure-cli.sh [ORLIMO [BENCH]]   (defaults: build/bin/...)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh time hyperfine

ORLIMO=$(realpath "${1:-build/bin/orlimo}")
BENCH=$(realpath "${2:-build/bin/orlimo_bench}")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

: >"$WORK/empty.html"
base=$(peak_kib "$ORLIMO" apply -q "$WORK/empty.html")
echo "base: ${base} KiB resident on an empty skin"
echo "| input | MB | command | from | peak beyond base, x input | output, x input |"
echo "|---|---:|---|---|---:|---:|"
for mb in 1 16 128; do
    "$BENCH" --write-input realistic "$mb" "$WORK/skin.html"
    "$ORLIMO" apply -q "$WORK/skin.html" >"$WORK/applied.html"
    for input in skin applied; do
        file="$WORK/$input.html"
        bytes=$(stat -c %s "$file")
        for command in apply remove; do
            out_bytes=$("$ORLIMO" "$command" -q "$file" | wc -c)
            for from in file pipe; do
                if [ "$from" = file ]; then
                    kib=$(peak_kib "$ORLIMO" "$command" -q "$file")
                else
                    kib=$(peak_kib sh -c 'cat "$1" | "$2" "$3" -q' sh "$file" "$ORLIMO" "$command")
                fi
                awk -v i="$input" -v mb="$mb" -v c="$command" -v f="$from" -v k="$kib" \
                    -v b="$base" -v n="$bytes" -v o="$out_bytes" 'BEGIN {
                    printf "| %s | %s | %s | %s | %.2f | %.2f |\n", i, mb, c, f,
                        (k - b) * 1024 / n, o / n }'
            done
        done
    done
done

# Wall time suffers from other work on the machine; the CPU time (user and
# system, which holds the page faults) much less so.
"$BENCH" --write-input realistic 1 "$WORK/skin.html"
hyperfine -N --warmup 20 --runs 300 --export-csv "$WORK/times.csv" \
    "cat $WORK/skin.html" "$ORLIMO apply -q $WORK/skin.html" \
    "$ORLIMO apply -q -o $WORK/out.html $WORK/skin.html" >/dev/null 2>&1
echo
echo "| 1 MB realistic skin | median ms | min ms | CPU ms | CPU / cat's |"
echo "|---|---:|---:|---:|---:|"
awk -F, -v work="$WORK/" 'NR > 1 {
    gsub(work, ""); cpu = ($5 + $6) * 1000
    if (NR == 2) cat = cpu
    printf "| `%s` | %.2f | %.2f | %.2f | %.2f |\n", $1, $4 * 1000, $7 * 1000, cpu, cpu / cat }' \
    "$WORK/times.csv"
