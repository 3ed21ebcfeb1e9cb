#!/usr/bin/env bash
# End to end: starts the real program from a fresh program directory under Xvfb,
# types a note with xdotool, selects another day, closes with the close picture,
# and checks the database row, FormSize.ini, and that a second start shows the note.
#
# usage: program_e2e.sh PROGRAM_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/e2e_lib.sh"
e2e_prepare "$1" xvfb-run xdotool sqlite3

cat > "$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -euo pipefail
prog=$1
. "$E2E_LIB"
run_once() { # $1: what to type after Ctrl+End
  "$prog/dorvel-calendar" &
  local pid=$!
  # The main window is the visible one of the program at least 750 pixels wide.
  find_window 750 4000 || { echo "the main window did not appear" >&2; return 1; }
  sleep 1.5
  echo "window at $X,$Y size ${WIDTH}x$HEIGHT" >&2
  # Into the note editor, under the calendar.
  xdotool mousemove $((X + 530)) $((Y + 430)) click 1
  sleep 0.3
  xdotool key ctrl+End
  LC_ALL=C.UTF-8 xdotool type --delay 40 "$1"
  sleep 0.5
  if [ -n "${2:-}" ]; then
    # Another day: the Monday of the third week row of the calendar.
    xdotool mousemove $((X + 416)) $((Y + 205)) click 1
    sleep 0.5
  fi
  # The close button: moving onto it shows its highlight picture, which takes the click.
  xdotool mousemove $((X + WIDTH - 20)) $((Y + 10))
  sleep 0.3
  xdotool mousemove $((X + WIDTH - 19)) $((Y + 11))
  sleep 0.3
  xdotool click 1
  wait "$pid"
}
run_once "e2e note 记事" other
run_once "!"
SESSION
chmod +x "$work/session.sh"

export LANG=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb E2E_LIB="$here/e2e_lib.sh"
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$work/session.sh" "$work/prog"

db="$work/prog/Data/UserData.mdb"
today=$(date +%Y%m%d)
note=$(sqlite3 "$db" "select data from UserCon where conIndex = '$today'")
# 记 is U+8BB0, written as the signed 16-bit \u-29776.
check "today's note kept the first run's text" '[[ "$note" == *"e2e note \\u-29776?\\u20107?"* ]]'
check "the second run loaded it and appended to it" '[[ "$note" == *"\\u20107?!"* ]]'
check "one row for today" '[ "$(sqlite3 "$db" "select count(*) from UserCon where conIndex = '"'$today'"'")" = 1 ]'
check "the other day got its own row, without the note" \
  '[ "$(sqlite3 "$db" "select count(*) from UserCon where conIndex <> '"'$today'"' and data not like '"'%e2e%'"'")" = 1 ]'
check "FormSize.ini holds the centred default bounds" \
  '[ "$(od -An -c "$work/prog/Data/FormSize.ini" | tr -s " ")" = "$(printf "1\r\n750\r\n500\r\n265\r\n135\r\n" | od -An -c | tr -s " ")" ]'
check "configSetBg.ini was created holding 1" '[ "$(cat "$work/prog/Data/configSetBg.ini")" = $'"'"'1\r'"'"' ]'
check "the database is sound" '[ "$(sqlite3 "$db" "pragma integrity_check")" = ok ]'
[ $fail = 0 ] || echo "stored note: $note"
exit $fail
