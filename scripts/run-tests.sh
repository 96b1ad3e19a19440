#!/usr/bin/env bash
# Runs every test of the build trees in one ctest run: the native tests (built
# with the sanitizers), the Win32 tests under Wine on a virtual display and
# short runs of the fuzz targets.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)

export TZ=Asia/Tokyo LANG=ja_JP.UTF-8
export CORVANE_WINEPREFIX="$build/wineprefix"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
source "$top/scripts/xvfb.sh"
started_display=0
if [ -z "${DISPLAY:-}" ]; then
  corvane_xvfb_start || exit 1
  started_display=1
fi
# A persistent wineserver makes each Wine process start in a fraction of a second.
wineserver -p
wine net start schedule >/dev/null 2>&1 || true

cat > "$build/CTestTestfile.cmake" <<CTEST
# Every build tree in one run, so that one summary counts every test.
subdirs("asan" "windows" "fuzz")
CTEST

cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
status=$?

wineserver -k 2>/dev/null || true
[ $started_display = 1 ] && corvane_xvfb_stop
exit $status
