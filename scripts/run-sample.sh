#!/usr/bin/env bash
# Opens a sample recording of today's guide in corvane.exe under Wine:
#   scripts/run-sample.sh [BUILD_DIR]          (what `make run` calls)
# Generates BUILD/run/sample.ts with the native corvane-sample, copies
# corvane.exe into BUILD/run/ (its settings file corvane.ini is written beside
# it), starts it on the current DISPLAY or on a virtual one, waits until it has
# painted, saves a picture of its window as BUILD/run/corvane.png and closes
# the program normally, so that it writes its settings.
# CORVANE_SAMPLE_TS=FILE opens FILE instead of a generated recording.
set -uo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd) || exit 1
run="$build/run"
mkdir -p "$run"

export TZ=Asia/Tokyo
export CORVANE_WINEPREFIX="$build/wineprefix"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=${WINEDEBUG:--all}

fail() { echo "run-sample: $*" >&2; exit 1; }

# 1. The recording.
if [ -n "${CORVANE_SAMPLE_TS:-}" ]; then
  recording=$(cd "$(dirname "$CORVANE_SAMPLE_TS")" && pwd)/$(basename "$CORVANE_SAMPLE_TS")
  [ -s "$recording" ] || fail "$CORVANE_SAMPLE_TS is missing or empty"
else
  recording="$run/sample.ts"
  rm -f "$recording"
  sample="$build/native/corvane-sample"
  [ -x "$sample" ] || fail "$sample is not built (run make native)"
  "$sample" "$recording" || fail "corvane-sample failed to write $recording"
  [ -s "$recording" ] || fail "corvane-sample wrote no recording to $recording"
fi

# 2. The program, in its own folder so that corvane.ini lands there.
for exe in corvane.exe corvane-ctl.exe; do
  [ -f "$build/windows/$exe" ] || fail "$build/windows/$exe is not built (run make windows)"
done
cp "$build/windows/corvane.exe" "$run/" || fail "cannot copy corvane.exe to $run"
ctl() { "$top/scripts/wine-exec.sh" "$build/windows/corvane-ctl.exe" "$@"; }

# 3. A display: the user's, or a virtual one that this script stops again.
xvfb_pid=""
source "$top/scripts/xvfb.sh"
corvane_display_for_run || fail "could not start Xvfb"
xvfb_pid=$CORVANE_XVFB_PID

corvane_pid=""
cleanup() {
  if [ -n "$corvane_pid" ] && kill -0 "$corvane_pid" 2>/dev/null; then
    kill "$corvane_pid" 2>/dev/null
    wait "$corvane_pid" 2>/dev/null
  fi
  if [ -n "$xvfb_pid" ]; then
    # Let Wine's desktop process leave the display before it goes away.
    timeout 15 wineserver -w 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT

# Wine sees the host's root as drive Z:.
windows_path="Z:${recording//\//\\}"
echo "run-sample: opening $recording on display $DISPLAY"
"$top/scripts/wine-exec.sh" "$run/corvane.exe" "$windows_path" &
corvane_pid=$!

status=0
if ctl wait-painted --guide --timeout "${CORVANE_WAIT_SECONDS:-120}"; then
  # The screen cut to Corvane's window.
  rect=($(ctl window | tr -d '\r'))
  if [ ${#rect[@]} -eq 4 ] && import -display "$DISPLAY" -window root \
       -crop "${rect[2]}x${rect[3]}+${rect[0]}+${rect[1]}" +repage "$run/corvane.png"; then
    echo "run-sample: screenshot $run/corvane.png"
  else
    echo "run-sample: the screenshot failed" >&2
    status=1
  fi
else
  echo "run-sample: Corvane did not show its painted window" >&2
  status=1
fi

if kill -0 "$corvane_pid" 2>/dev/null; then
  ctl close --timeout 30 || status=1
fi
wait "$corvane_pid"
exit_code=$?
corvane_pid=""
if [ $exit_code -ne 0 ]; then
  echo "run-sample: corvane.exe exited with code $exit_code" >&2
  status=1
fi

if [ -f "$run/corvane.ini" ]; then
  echo "run-sample: settings file $run/corvane.ini"
else
  echo "run-sample: no settings file was written to $run/corvane.ini"
fi
exit $status
