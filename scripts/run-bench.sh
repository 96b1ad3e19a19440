#!/usr/bin/env bash
# Runs the benchmarks: the native ones from the optimised tree, the painting
# one under Wine. Numbers only; nothing here passes or fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
export TZ=Asia/Tokyo CORVANE_WINEPREFIX="$build/wineprefix"

for bench in ts_reader_bench guide_layout_bench data_file_bench reservation_bench; do
  echo "== $bench"
  "$build/native/$bench" || echo "$bench failed" >&2
done
echo "== guide_paint_bench_win (under Wine)"
"$top/scripts/wine-exec.sh" "$build/windows/guide_paint_bench_win.exe" || echo "guide_paint_bench_win failed" >&2
