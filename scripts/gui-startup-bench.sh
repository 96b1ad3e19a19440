#!/usr/bin/env bash
# Start-up of corvane.exe under Wine with a recording named on its command
# line, from the launch to the painted guide: the 2-day sample against the
# same schedule in a 1 GB recording (the tables repeated to about 3 % of the
# packets, filler packets the rest), beside the reader's own time on that
# 1 GB file. The two start-ups alternate; the medians are compared.
#   scripts/gui-startup-bench.sh [BUILD_DIR] [RUNS]     (RUNS per file, default 5)
# Needs BUILD/native (corvane-sample, corvane-epg) and BUILD/windows
# (corvane.exe, corvane-ctl.exe, corvane-epg.exe). Uses the build's Wine
# prefix and a virtual display of its own (CORVANE_DISPLAY_NUM, default 87)
# unless DISPLAY is set. CORVANE_EXE=FILE measures that corvane.exe instead
# (another build, for a comparison). Numbers only; nothing here passes or fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd) || exit 1
runs=${2:-5}
dir="$build/gui-bench"
mkdir -p "$dir"

export TZ=Asia/Tokyo
export CORVANE_WINEPREFIX="$build/wineprefix"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all

fail() { echo "gui-startup-bench: $*" >&2; exit 1; }
for tool in native/corvane-sample native/corvane-epg windows/corvane.exe windows/corvane-ctl.exe windows/corvane-epg.exe; do
  [ -f "$build/$tool" ] || fail "$build/$tool is not built (make native windows)"
done

xvfb_pid=""
corvane_pid=""
cleanup() {
  if [ -n "$corvane_pid" ] && kill -0 "$corvane_pid" 2>/dev/null; then
    kill "$corvane_pid" 2>/dev/null
    wait "$corvane_pid" 2>/dev/null
  fi
  wineserver -k 2>/dev/null  # this prefix's server only
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
source "$top/scripts/xvfb.sh"
corvane_display_for_run || fail "could not start Xvfb"
xvfb_pid=$CORVANE_XVFB_PID
# A persistent wineserver: every Wine process starts the same way.
wineserver -p

# The recordings: today's schedule of two days, once as small as it comes
# and once as 1 GB.
sample="$dir/sample-2days.ts"
big="$dir/sample-2days-1g.ts"
"$build/native/corvane-sample" --days 2 "$sample" || fail "corvane-sample failed"
"$build/native/corvane-sample" --days 2 --size 1G "$big" || fail "corvane-sample --size 1G failed"
cat "$sample" "$big" >/dev/null  # into the page cache

cp "${CORVANE_EXE:-$build/windows/corvane.exe}" "$dir/corvane.exe" || fail "cannot copy corvane.exe"
wine_exec() { "$top/scripts/wine-exec.sh" "$@"; }
ctl() { wine_exec "$build/windows/corvane-ctl.exe" "$@"; }
now_ms() { date +%s%3N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Milliseconds from the launch of corvane.exe with FILE to its painted guide,
# seen by corvane-ctl, which is already waiting when the program starts; then
# the same from the start of its process (after Wine's own start).
startup_ms() {
  local file=$1 out="$dir/ctl.out" start ctl_pid painted started
  rm -f "$dir/corvane.ini"  # every start a first start
  ctl wait-painted --guide --timing --timeout 120 >"$out" 2>&1 &
  ctl_pid=$!
  sleep 1
  start=$(now_ms)
  wine_exec "$dir/corvane.exe" "Z:${file//\//\\}" >/dev/null 2>&1 &
  corvane_pid=$!
  if ! wait "$ctl_pid"; then
    cat "$out" >&2
    return 1
  fi
  read -r _ painted _ started < <(tr -d '\r' <"$out")
  ctl close --timeout 60 >/dev/null 2>&1
  wait "$corvane_pid" 2>/dev/null
  corvane_pid=""
  echo "$((painted - start)) $((painted - started))"
}

# Milliseconds of `corvane-epg store FILE` (native, or the Windows build
# under Wine with "wine"). Its output goes to a file: under Wine /dev/null
# counts as a terminal, which would get the progress bar.
store_ms() {
  local start end
  start=$(now_ms)
  if [ "$1" = wine ]; then
    wine_exec "$build/windows/corvane-epg.exe" store "Z:${2//\//\\}" >"$dir/epg.out" 2>&1
  else
    "$build/native/corvane-epg" store "$2" >"$dir/epg.out" 2>&1
  fi
  end=$(now_ms)
  echo $((end - start))
}

echo "gui-startup-bench: $(nproc) cores, load:$(uptime | sed 's/.*load average://')"
startup_ms "$sample" >/dev/null || fail "corvane.exe did not paint the sample's guide"  # warms Wine up
small_runs=() big_runs=() small_process=() big_process=() native_small=() native_big=() wine_small=() wine_big=()
for ((i = 0; i < runs; ++i)); do
  r=$(startup_ms "$sample") || fail "corvane.exe did not paint the sample's guide"
  small_runs+=("${r%% *}") small_process+=("${r##* }")
  r=$(startup_ms "$big") || fail "corvane.exe did not paint the 1 GB recording's guide"
  big_runs+=("${r%% *}") big_process+=("${r##* }")
  native_small+=("$(store_ms native "$sample")")
  native_big+=("$(store_ms native "$big")")
  wine_small+=("$(store_ms wine "$sample")")
  wine_big+=("$(store_ms wine "$big")")
done
m() { printf '%s\n' "$@" | median; }
small=$(m "${small_runs[@]}") bigm=$(m "${big_runs[@]}")
psmall=$(m "${small_process[@]}") pbig=$(m "${big_process[@]}")
nsmall=$(m "${native_small[@]}") nbig=$(m "${native_big[@]}")
wsmall=$(m "${wine_small[@]}") wbig=$(m "${wine_big[@]}")
echo "start to painted guide, 2-day sample ($(($(stat -c %s "$sample") / 1000)) kB): median $small ms (${small_runs[*]})"
echo "start to painted guide, 1 GB recording:          median $bigm ms (${big_runs[*]})"
echo "the 1 GB recording adds $((bigm - small)) ms to the start-up"
echo "from the start of the process: sample $psmall ms (${small_process[*]}), 1 GB $pbig ms (${big_process[*]}): $((pbig - psmall)) ms more"
echo "corvane-epg store, native: 1 GB $nbig ms (${native_big[*]}), sample $nsmall ms: the reader's own time $((nbig - nsmall)) ms"
echo "corvane-epg.exe store under Wine: 1 GB $wbig ms (${wine_big[*]}), sample $wsmall ms: $((wbig - wsmall)) ms"
echo "goal: the start-up grows by no more than the reader's own time: $((bigm - small)) ms against $((nbig - nsmall)) ms"
