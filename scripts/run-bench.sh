#!/usr/bin/env bash
# Runs the benchmarks: the native ones from the optimised tree, the painting
# one under Wine. Numbers only; nothing here passes or fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
export TZ=Asia/Tokyo CORVANE_WINEPREFIX="$build/wineprefix"

for bench in ts_reader_bench crc_bench guide_layout_bench data_file_bench change_detection_bench export_bench reservation_bench \
             programme_search_bench; do
  echo "== $bench"
  "$build/native/$bench" || echo "$bench failed" >&2
done

# Load and export of a 1 GB generated recording against load and store
# listing of the same file (best of three, the page cache warmed).
echo "== corvane-epg on a 1 GB generated recording"
recording="$build/native/bench-1g.ts"
"$build/native/corvane-sample" --size 1G "$recording" || echo "corvane-sample failed" >&2
milliseconds() {
  local best= start end
  for _ in 1 2 3; do
    start=$(date +%s%N)
    "$build/native/corvane-epg" "$@" "$recording" >/dev/null 2>&1 || echo "corvane-epg $1 failed" >&2
    end=$(date +%s%N)
    if [ -z "$best" ] || [ $(( (end - start) / 1000000 )) -lt "$best" ]; then best=$(( (end - start) / 1000000 )); fi
  done
  echo "$best"
}
store_ms=$(milliseconds store)
for command in xmltv json; do
  ms=$(milliseconds "$command")
  echo "corvane-epg $command $ms ms, store $store_ms ms: $(awk "BEGIN { printf \"%.2f\", $ms / $store_ms }")x (goal <= 2x)"
done
rm -f "$recording"
echo "== guide_paint_bench_win (under Wine)"
"$top/scripts/wine-exec.sh" "$build/windows/guide_paint_bench_win.exe" || echo "guide_paint_bench_win failed" >&2
echo "== update_info_bench_win (under Wine)"
"$top/scripts/wine-exec.sh" "$build/windows/update_info_bench_win.exe" || echo "update_info_bench_win failed" >&2
echo "== genre_list_bench_win (under Wine)"
"$top/scripts/wine-exec.sh" "$build/windows/genre_list_bench_win.exe" || echo "genre_list_bench_win failed" >&2
echo "== corvane.exe start-up with the 2-day sample and with a 1 GB recording (under Wine)"
"$top/scripts/gui-startup-bench.sh" "$build" || echo "gui-startup-bench failed" >&2
