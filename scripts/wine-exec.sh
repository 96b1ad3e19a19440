#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with the
# Japanese code page and the broadcast time zone. Used as the cross-compiling
# emulator of the Windows build and by the run and test scripts.
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${CORVANE_WINEPREFIX:-$top/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# The C runtime of Windows programs reads TZ itself and only understands the
# POSIX form; a zone name such as Asia/Tokyo would make it count in UTC.
export TZ=JST-9
if [ -z "${DISPLAY:-}" ]; then
  # No display given: use (and if needed start) the build's virtual display.
  source "$top/scripts/xvfb.sh"
  corvane_xvfb_start
fi
exec wine "$@"
