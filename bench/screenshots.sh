#!/usr/bin/env bash
# Takes the screenshots of the main window (empty state, and the sample book in each mode) on a virtual
# X display and writes them to docs/screenshots/, or to the folder given as the first argument; a second
# argument "--minimum" takes them at the window's least size.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
cmake --build build --target ShellScreenshots
xvfb-run -a -s "-screen 0 1600x1000x24" build/bench/screenshots/ShellScreenshots "$out" "${@:2}"
