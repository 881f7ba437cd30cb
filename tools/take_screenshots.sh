#!/usr/bin/env bash
# Draws the README's pictures of the running organizer into docs/:
#
#   docs/schedule_day.png    a day with several schedules in a schedule window
#   docs/holiday.png         a holiday: its name in the date header, the day's colour mark
#   docs/translucent.png     translucent windows over a JPEG wallpaper
#   docs/search.png          the search window, its dialog and a list of results
#   docs/weather.png         a weather window showing the forecast read from a saved page
#
# Usage:  tools/take_screenshots.sh [BUILD_DIR [OUT_DIR]]   (default: build, docs)
#
# Needs Xvfb (xvfb-run), ImageMagick (convert, for the wallpaper) and iconv.  The script
# builds the program and yk_screenshot in BUILD_DIR, installs the build into a temporary
# program folder, writes a few schedules, holidays, a day colour and a wallpaper into that
# folder's data/, and starts the organizer once per picture under Xvfb with settings of its
# own (XDG_CONFIG_HOME inside the temporary folder).  The user's own settings and data are
# never read or written.  The clock is set to a fixed date in May 2004, so the pictures
# stay the same from one run to the next.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$top/build}")
out=$(realpath -m "${2:-$top/docs}")
cd "$top"

cmake --build "$build" --target yk_program_folder yk_screenshot >/dev/null
shooter=$(find "$build" -name yk_screenshot -type f -perm -u+x | head -n 1)
[ -n "$shooter" ] || { echo "yk_screenshot was not built in $build" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
program=$work/program
data=$program/data
cmake --install "$build" --prefix "$program" >/dev/null
plugin=$program/plugin/tvk_sched_hpc2karm.plg
search=$program/plugin/tvk_search_hpc2karm.plg

# lines FILE LINE...: the organizer's text files are UTF-16LE without a byte-order mark,
# every line ending in CR LF.
lines() {
  local file=$1
  shift
  mkdir -p "$(dirname "$file")"
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t UTF-16LE >"$file"
}

# Schedules of Friday 7 May 2004, in the files of the levels they reach: the day itself, the
# days of May, the months of 2004.
lines "$data/2004/5/7/sched.txt" \
  '(2004,05,07,09,30 2004,05,07,10,00 -1)(朝会)' \
  '(2004,05,07,12,00 2004,05,07,13,00 -1)(田中さんと昼食)' \
  '(2004,05,07,15,00 2004,05,07,16,30 -1)(新製品の打ち合わせ__TVRET__第二会議室)' \
  '(2004,55,07,00,00 2004,55,07,00,00 -1)(母の誕生日)'
lines "$data/2004/5/sched.txt" \
  '(2004,05,06,00,00 2004,05,08,00,00 -1)(大阪出張)' \
  '(2004,05,01,19,00 2004,05,31,20,30 05)(英会話教室)'
lines "$data/2004/sched.txt" \
  '(2004,04,01,00,00 2004,06,30,00,00 -1)(第一四半期の決算準備)'

# Meetings through May, for the search.
lines "$data/2004/5/10/sched.txt" '(2004,05,10,10,00 2004,05,10,11,00 -1)(営業会議)'
lines "$data/2004/5/12/sched.txt" '(2004,05,12,09,00 2004,05,12,10,00 -1)(定例会議)'
lines "$data/2004/5/19/sched.txt" '(2004,05,19,09,00 2004,05,19,10,00 -1)(定例会議__TVRET__議事録当番)'
lines "$data/2004/5/26/sched.txt" '(2004,05,26,09,00 2004,05,26,10,00 -1)(定例会議)'

# Golden Week 2004, and a schedule on Children's Day.
lines "$data/2004holiday.txt" \
  '(00,00 00,00)(04,29,-1,01,みどりの日)' \
  '(00,00 00,00)(05,03,-1,01,憲法記念日)' \
  '(00,00 00,00)(05,04,-1,01,国民の休日)' \
  '(00,00 00,00)(05,05,-1,01,こどもの日)'
lines "$data/2004/5/5/sched.txt" \
  '(2004,05,05,10,00 2004,05,05,16,00 -1)(家族で動物園)' \
  '(2004,05,05,00,00 2004,05,05,00,00 -1)(柏餅を買う)'
# daycolor.dat: 31 little-endian 32-bit colour numbers; 5 May gets colour 1.
{
  for day in $(seq 1 31); do
    if [ "$day" -eq 5 ]; then printf '\001\000\000\000'; else printf '\000\000\000\000'; fi
  done
} >"$data/2004/5/daycolor.dat"

# A soft evening sky with a few blurred lights.
wallpaper=$work/wallpaper.jpg
convert -size 800x600 gradient:'#5b7fbf'-'#f4c7a1' \
  \( -size 800x600 xc:none -fill 'rgba(255,255,255,0.35)' \
     -draw 'circle 640,130 700,130' -draw 'circle 120,470 165,470' \
     -draw 'circle 720,470 745,470' -draw 'circle 300,90 320,90' -blur 0x12 \) \
  -composite -quality 90 "$wallpaper"

# settings NAME KEY=VALUE...: a settings folder for one picture; prints its path.
settings() {
  local home=$work/config-$1
  shift
  mkdir -p "$home/Vantor Studio"
  {
    echo '[setting]'
    echo 'firsttime=1'
    printf '%s\n' "$@"
  } >"$home/Vantor Studio/tavik-hpc2k.conf"
  echo "$home"
}

# shoot CONFIG DATE OUT [search TEXT | forecast PAGE]: starts the organizer under Xvfb and
# saves its main window (with the search and its results over it, for "search"; with the
# weather window's forecast read from PAGE served on 127.0.0.1, for "forecast").
shoot() {
  env -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$1" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s '-screen 0 1024x768x24' "$shooter" "$program" "$2" "$3" "${@:4}"
  echo "$3"
}

mkdir -p "$out"

day=$(settings day win_num=1 \
  winleft0=10 wintop0=10 winwidth0=260 winheight0=420 "winplg0=$plugin")
shoot "$day" 2004-05-07 "$out/schedule_day.png"

holiday=$(settings holiday win_num=1 \
  winleft0=10 wintop0=10 winwidth0=260 winheight0=240 "winplg0=$plugin")
shoot "$holiday" 2004-05-05 "$out/holiday.png"

translucent=$(settings translucent transwin=1 "wallpaper=$wallpaper" win_num=3 \
  winleft0=300 wintop0=60 winwidth0=240 winheight0=200 winplg0= \
  winleft1=420 wintop1=250 winwidth1=300 winheight1=240 winplg1= \
  winleft2=40 wintop2=40 winwidth2=280 winheight2=400 "winplg2=$plugin")
shoot "$translucent" 2004-05-07 "$out/translucent.png"

searching=$(settings search win_num=2 \
  winleft0=10 wintop0=10 winwidth0=230 winheight0=420 "winplg0=$plugin" \
  winleft1=260 wintop1=10 winwidth1=240 winheight1=240 "winplg1=$search")
shoot "$searching" 2004-05-07 "$out/search.png" search 会議

# The weather window beside the day's schedules: yk_screenshot serves the saved forecast page
# of the tests from 127.0.0.1 (in CP932, as the forecast site sends it) and taps 更新.
page=$work/forecast.html
iconv -f UTF-8 -t CP932 plugins/tenki/tests/pages/forecast_full.html >"$page"
weather=$(settings weather win_num=2 \
  winleft0=10 wintop0=10 winwidth0=300 winheight0=440 \
  "winplg0=$program/plugin/tvk_tenki_hpc2karm.plg" \
  winleft1=320 wintop1=10 winwidth1=260 winheight1=440 "winplg1=$plugin")
printf '[plugin_tvc_tenki]\narea=関東：東京\niarea=2\nicity=0\n' >>"$weather/Vantor Studio/tavik-hpc2k.conf"
shoot "$weather" 2004-05-07 "$out/weather.png" forecast "$page"
