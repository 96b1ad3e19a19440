# Sourced: a virtual X display shared by everything that runs under one build.
# corvane_xvfb_start exports DISPLAY, starting Xvfb when it is not running.
corvane_xvfb_start() {
  local num=${CORVANE_DISPLAY_NUM:-87}
  export DISPLAY=":$num"
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    local i
    for i in $(seq 1 100); do
      xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && return 0
      sleep 0.05
    done
    echo "xvfb: display $DISPLAY did not start" >&2
    return 1
  fi
}
# corvane_display_for_run keeps the user's DISPLAY when it is set, else uses
# the virtual display, started when it is not running: CORVANE_XVFB_PID is the
# Xvfb started then (empty otherwise), for the caller to stop.
corvane_display_for_run() {
  CORVANE_XVFB_PID=""
  [ -n "${DISPLAY:-}" ] && return 0
  if xdpyinfo -display ":${CORVANE_DISPLAY_NUM:-87}" >/dev/null 2>&1; then
    export DISPLAY=":${CORVANE_DISPLAY_NUM:-87}"
    return 0
  fi
  corvane_xvfb_start || return 1
  CORVANE_XVFB_PID=$!
}
corvane_xvfb_stop() {
  local num=${CORVANE_DISPLAY_NUM:-87}
  pkill -f "Xvfb :$num " 2>/dev/null || true
}
