#!/usr/bin/env bash
# Starts the application five times on a virtual X display and prints the median of each figure: start
# to window shown, to every thumbnail of the sample book, memory after the sample book, export times.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
cmake --build build --target AppJourneyFigures
results=$(for _ in $(seq "$runs"); do
    xvfb-run -a -s "-screen 0 1600x1000x24" build/bench/journey/AppJourneyFigures
done)
for name in $(echo "$results" | awk '{print $1}' | awk '!seen[$0]++'); do
    echo "$results" | awk -v n="$name" '$1 == n {print $2}' | sort -n |
        awk -v n="$name" '{v[NR] = $1} END {printf "%-26s median %s (of %d runs)\n", n, v[int((NR + 1) / 2)], NR}'
done
