#!/usr/bin/env bash
# Pictures of the program for the README, taken from corvane.exe itself:
#   scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]    (what `make screenshots` calls)
# Starts corvane.exe under Wine on a virtual display of its own, in a Wine
# prefix of its own (BUILD/screenshots-prefix), with today's sample recording
# and its revised version, a settings file that shows EpgTimer and TvRock
# reservations made from the sample, and drives it with the pointer
# (xdotool) and corvane-ctl. Each picture is cut to the window it shows and
# written to OUT_DIR (default docs/) as a PNG.
set -uo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd) || exit 1
out=${2:-$top/docs}
win="$build/windows"
run="$build/screenshots"
prefix="$build/screenshots-prefix"

fail() {
  echo "screenshots: $*" >&2
  # What the screen showed then, to see what went wrong.
  [ -n "${DISPLAY:-}" ] && [ -d "$run" ] && import -display "$DISPLAY" -window root "$run/failed.png" 2>/dev/null &&
    echo "screenshots: the screen is in $run/failed.png" >&2
  exit 1
}

for exe in corvane.exe corvane-ctl.exe corvane-epg.exe corvane-sample.exe; do
  [ -f "$win/$exe" ] || fail "$win/$exe is not built (run make windows)"
done
command -v xdotool >/dev/null || fail "xdotool is missing (run scripts/setup.sh)"
mkdir -p "$out" || fail "cannot create $out"

# A prefix of its own: the EpgTimer file goes into its Documents folder,
# which a new prefix links to the user's home.
"$top/scripts/wineprefix.sh" "$prefix" || fail "could not create the Wine prefix $prefix"
export CORVANE_WINEPREFIX="$prefix" WINEPREFIX="$prefix" WINEDEBUG=-all TZ=Asia/Tokyo
documents="$prefix/drive_c/users/${USER:-$(id -un)}/Documents"
if [ -L "$documents" ]; then
  rm "$documents" && mkdir "$documents" || fail "cannot make $documents a folder"
fi

# A display of its own, so that nothing else stands on the pictures.
export CORVANE_DISPLAY_NUM=${CORVANE_SCREENSHOT_DISPLAY:-89}
source "$top/scripts/xvfb.sh"
xvfb_pid=""
if ! xdpyinfo -display ":$CORVANE_DISPLAY_NUM" >/dev/null 2>&1; then
  corvane_xvfb_start || fail "could not start Xvfb"
  xvfb_pid=$!
fi
export DISPLAY=":$CORVANE_DISPLAY_NUM"

wine_run() { "$top/scripts/wine-exec.sh" "$@"; }
ctl() { wine_run "$win/corvane-ctl.exe" "$@" | tr -d '\r'; }
windows_path() { local p="Z:$1"; echo "${p//\//\\}"; }

corvane_pid=""
cleanup() {
  if [ -n "$corvane_pid" ] && kill -0 "$corvane_pid" 2>/dev/null; then
    kill "$corvane_pid" 2>/dev/null
    wait "$corvane_pid" 2>/dev/null
  fi
  timeout 15 wineserver -k 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT

# 1. The recordings, the reservations and the settings.
rm -rf "$run"
mkdir -p "$run" "$documents/EpgTimer"
cp "$win/corvane.exe" "$run/" || fail "cannot copy corvane.exe"
wine_run "$win/corvane-sample.exe" "$(windows_path "$run/sample.ts")" || fail "corvane-sample failed"
wine_run "$win/corvane-sample.exe" --revised "$(windows_path "$run/revised.ts")" || fail "corvane-sample --revised failed"
listing=$(wine_run "$win/corvane-epg.exe" list "$(windows_path "$run/sample.ts")") || fail "corvane-epg list failed"
python3 "$top/scripts/sample-reservations.py" "$(date +%s)" "$documents/EpgTimer/Program.txt" "$run/tvrock.sch" \
  <<<"$listing" || fail "no reservations made"

# Windows wide enough for their texts; the reservation list over the lower
# part of the guide, so that its picture shows the frames too. The main
# window's placement holds its edges, the others' their sizes.
{
  printf '[Corvane]\nWindowX=0\nWindowY=0\nWindowCX=1180\nWindowCY=760\nWindowMin=0\nWindowMax=0\n'
  printf '[Setup]\nNowTimeLine=1\nViewChNo=0\n'
  printf '[GenreSetup]\n'
  for i in $(seq 1 12); do printf 'Check%d=1\n' "$i"; done
  printf '[ViewSetup]\nEpgTimerDisp=1\nTvRockDisp=1\nTvRockProgName=%s\n' "$(windows_path "$run/tvrock.sch")"
  printf '[iEpgSetup]\niEpg=0\niEpgTunerec=1\n'
  printf '[GenreList]\nWindowX=20\nWindowY=20\nWindowCX=1120\nWindowCY=700\nSpX=150\nSpY=260\n'
  printf '[iEpgListDialog]\nWindowX=40\nWindowY=560\nWindowCX=1100\nWindowCY=180\n'
  printf '[UpdateDialog]\nWindowX=20\nWindowY=20\nWindowCX=1140\nWindowCY=440\n'
  # The find bar's last query, in the system's code page as the program keeps it.
  printf '[FindBar]\nQuery=%s\nDescription=0\nKana=0\n' "$(printf 'ニュース' | iconv -f UTF-8 -t CP932)"
} | sed 's/$/\r/' > "$run/corvane.ini"

# 2. The program with both recordings: the guide of the revised one, the
# changes between them in the update information.
echo "screenshots: starting corvane.exe on display $DISPLAY"
wine_run "$run/corvane.exe" "$(windows_path "$run/sample.ts")" "$(windows_path "$run/revised.ts")" &
corvane_pid=$!
ctl wait-painted --guide --timeout 120 >/dev/null || fail "Corvane did not paint its guide"
sleep 2  # the housekeeping tick collects the reservations and the changes

# Cuts the bounding box of the rectangles ("X Y W H" each) out of the screen.
shoot() {
  local name=$1; shift
  local left=99999 top=99999 right=0 bottom=0 x y w h
  while [ $# -ge 4 ]; do
    x=$1 y=$2 w=$3 h=$4; shift 4
    [ "$x" -lt "$left" ] && left=$x
    [ "$y" -lt "$top" ] && top=$y
    [ $((x + w)) -gt "$right" ] && right=$((x + w))
    [ $((y + h)) -gt "$bottom" ] && bottom=$((y + h))
  done
  [ "$left" -lt 0 ] && left=0
  [ "$top" -lt 0 ] && top=0
  import -display "$DISPLAY" -window root "$run/screen.png" || fail "cannot read the screen"
  convert "$run/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip \
    -define png:exclude-chunks=date,time -define png:compression-level=9 "$out/$name.png" ||
    fail "cannot write $out/$name.png"
  echo "screenshots: $out/$name.png ($((right - left))x$((bottom - top)), $(stat -c %s "$out/$name.png") bytes)"
}
# Rectangles of windows and controls ("X Y W H"), for the pictures and the
# pointer. Used as a=$(window ...) || exit, since fail leaves only the $(...).
window() { ctl window "$@" || fail "no window $*"; }
control() { ctl control "$@" || fail "no control $*"; }
click() { xdotool mousemove --sync "$1" "$2" sleep 0.3 click 1 sleep 0.3; }
click_centre() { local r=($1); click $((r[0] + r[2] / 2)) $((r[1] + r[3] / 2)); }
# The pointer off the windows, where it shows no tip.
away() { xdotool mousemove 1910 1070; }

main=$(window) || exit 1
shoot guide $main

# 3. The channel view of the first service, then back to the list view and
# with the corner button "現在へ" to the current time: it stands 60 pixels
# below the header then, each minute 2 pixels further down.
ctl command 11000
sleep 1
channel=$(window) || exit 1
shoot channel $channel
ctl command 11000
client=($(window --client)) || exit 1
now=$(date +%s)
click $((client[0] + 10)) $((client[1] + 10))
away

# 4. The title of a programme of the second column (service 1025) that starts
# half an hour or more from now is clicked: its popup beside the pointer, the
# pointer then resting on the popup so that it stays.
from=$(date -d "@$((now + 1800))" '+%Y-%m-%d %H:%M')
start=$(awk -F'\t' -v from="$from" '$1 == 1025 && $4 >= from { print $4; exit }' <<<"$listing")
[ -n "$start" ] || fail "no programme of service 1025 after $from"
minutes=$(($(date -d "$start" +%s) / 60 - now / 60))
px=$((client[0] + 50 + 180 + 60)) py=$((client[1] + 20 + 60 + 2 * minutes + 6))
click $px $py
xdotool mousemove $((px + 40)) $((py + 40))
popup=$(window --title "") || exit 1
shoot popup $main $popup

# 5. Its registration button opens the capture tool's task dialog.
button=$(control 1 --title "") || exit 1
click_centre "$button"
away
task=$(window --title "tunerecタスク登録") || exit 1
shoot task-dialog $task
ctl close --title "tunerecタスク登録" || fail "the task dialog did not close"

# 6. The genre list on the fourth genre of its tree (rows of 16 pixels).
ctl command 32783
tree=($(control 1027 --title "ジャンル別リスト")) || exit 1
click $((tree[0] + 40)) $((tree[1] + 8 + 3 * 16))
away
sleep 1
genres=$(window --title "ジャンル別リスト") || exit 1
shoot genre-list $genres
ctl close --title "ジャンル別リスト" || fail "the genre list did not close"

# 7. The reservation list over the guide with its frames.
ctl command 32796
reservations=$(window --title "予約リスト") || exit 1
shoot reservations $main $reservations
ctl close --title "予約リスト" || fail "the reservation list did not close"

# 8. The update information.
ctl command 127
updates=$(window --title "更新情報") || exit 1
shoot update-info $updates
ctl close --title "更新情報" || fail "the update information did not close"

# 9. The find bar (Ctrl+F) on its last query: F3 selects the next match from
# the top of the view, with its popup beside the title.
xdotool key --clearmodifiers ctrl+f sleep 0.5 key F3 sleep 1
away
found=$(window --title "") || exit 1
shoot find-bar $main $found
xdotool key Escape sleep 0.3

# 10. The registration setup dialog.
ctl command 32779
setup=$(window --title "iEPG設定") || exit 1
shoot registration-setup $setup
ctl close --title "iEPG設定" || fail "the registration setup did not close"

ctl close --timeout 30 >/dev/null || fail "Corvane did not close"
wait "$corvane_pid"
corvane_pid=""
echo "screenshots: done"
