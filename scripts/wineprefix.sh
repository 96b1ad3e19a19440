#!/usr/bin/env bash
# Creates the private Wine prefix the Win32 tests and the sample run use:
#   scripts/wineprefix.sh PREFIX
# Japanese code page, the MS font names mapped to the IPA fonts, the Task
# Scheduler service set to start with every Wine session. Quick when done.
set -euo pipefail

prefix=${1:?usage: wineprefix.sh PREFIX}
stamp_version=4
stamp="$prefix/.corvane-prefix"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_version" ]; then
  exit 0
fi

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export TZ=${TZ:-Asia/Tokyo}
export WINEARCH=win64
unset DISPLAY

echo "setup: creating the Wine prefix $prefix"
rm -rf "$prefix"
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1

reg() { wine reg "$@" >/dev/null 2>&1; }
replacements='HKCU\Software\Wine\Fonts\Replacements'
reg add "$replacements" /v 'ＭＳ ゴシック' /d 'IPAGothic' /f
reg add "$replacements" /v 'ＭＳゴシック' /d 'IPAGothic' /f
reg add "$replacements" /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f
reg add "$replacements" /v 'ＭＳ 明朝' /d 'IPAMincho' /f
reg add "$replacements" /v 'ＭＳ Ｐ明朝' /d 'IPAPMincho' /f
reg add "$replacements" /v 'MS Gothic' /d 'IPAGothic' /f
reg add "$replacements" /v 'MS Mincho' /d 'IPAMincho' /f
reg add "$replacements" /v 'MS UI Gothic' /d 'IPAPGothic' /f
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
reg add "$substitutes" /v 'MS Shell Dlg' /d 'IPAPGothic' /f
reg add "$substitutes" /v 'MS Shell Dlg 2' /d 'IPAPGothic' /f
reg add "$replacements" /v 'MS Shell Dlg' /d 'IPAPGothic' /f
reg add "$replacements" /v 'MS Shell Dlg 2' /d 'IPAPGothic' /f

# Xvfb has no window manager: managed windows make every hide and destroy
# wait two seconds for one. Wine draws the frames itself instead.
reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f

# The Task Scheduler answers SCHED_E_SERVICE_NOT_RUNNING until its service
# runs; starting it automatically covers every later Wine session.
reg add 'HKLM\System\CurrentControlSet\Services\Schedule' /v Start /t REG_DWORD /d 2 /f
wine net start schedule >/dev/null 2>&1 || true

wineserver -w
echo "$stamp_version" > "$stamp"
