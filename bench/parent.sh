#!/usr/bin/env bash
# The figures of a parent's year in one run: on a virtual X display, each phase of AppParentFigures
# (import untouched and with clicks, export sheet, autosave, restart, book export, memory) several
# times, the GUI stalls by the in-process timer and by _NET_WM_PING; then the per-core image paths against
# libjpeg-turbo on one pinned core, and PDF assembly against img2pdf. Prints the median of each figure
# and of each ratio, every ratio taken within a round. Usage: bench/parent.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
if [[ "${2:-}" != "--inside" ]]; then
    cmake --build build -j3 --target AppParentFigures CleanupBench BookExportBench >&2
    exec xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$rounds" --inside
fi
folder=$(mktemp -d /tmp/quillfen-parent-XXXXXX)
trap 'rm -rf "$folder"' EXIT
export QUILLFEN_PARENT_FOLDER="$folder"
figures=build/bench/journey/AppParentFigures
results=""
for round in $(seq "$rounds"); do
    quiet=$("$figures" quiet)
    clicks=$("$figures" clicks)
    results+="$quiet"$'\n'"$clicks"$'\n'"$("$figures" restart)"$'\n'"$("$figures" export)"$'\n'"$("$figures" memory)"$'\n'
    q=$(awk '$1 == "import-quiet-ms" {print $2}' <<<"$quiet")
    c=$(awk '$1 == "import-clicks-ms" {print $2}' <<<"$clicks")
    results+="ratio-import-clicks-over-quiet $(awk -v c="$c" -v q="$q" 'BEGIN {printf "%.2f", c / q}')"$'\n'
    echo "round $round done" >&2
done
# One core, one OpenCV thread: the image paths paired with libjpeg-turbo's own decode and encode.
cleanup=$(OPENCV_FOR_THREADS_NUM=1 taskset -c 2 build/bench/CleanupBench \
    --benchmark_filter='OverDecode' --benchmark_format=csv 2>/dev/null)
for pair in "ThumbnailOverDecode thumbnail-over-decode" "PrintOverDecodeAndEncode print-over-decode-encode"; do
    read -r bench name <<<"$pair"
    results+="ratio-$name $(awk -F, -v b="$bench" 'index($0, b) {print $NF}' <<<"$cleanup")"$'\n'
done
pdf=$(build/bench/BookExportBench --benchmark_filter='OverImg2pdf' --benchmark_format=csv 2>/dev/null || true)
for pages in 24 96; do
    results+="ratio-pdf-over-img2pdf-$pages $(awk -F, -v p="OverImg2pdf/$pages" 'index($0, p) {print $NF}' <<<"$pdf" | tr -d '"')"$'\n'
done
for name in $(awk 'NF == 2 {print $1}' <<<"$results" | awk '!seen[$0]++'); do
    awk -v n="$name" '$1 == n {print $2}' <<<"$results" | sort -g |
        awk -v n="$name" '{v[NR] = $1} END {printf "%-34s median %s (of %d)\n", n, v[int((NR + 1) / 2)], NR}'
done
