#!/usr/bin/env bash
# End to end: the real program under Xvfb on a GNOME-like desktop (gsettings with
# its keyfile backend in a private configuration folder). Types a note, clicks the
# apply-to-desktop picture, confirms the box, and checks Mix.bmp, Mix.Jpg, the
# desktop setting, that the month picture and the note are in the wallpaper, and
# that the next click composes onto the next background of the list.
#
# usage: wallpaper_e2e.sh PROGRAM_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/e2e_lib.sh"
e2e_prepare "$1" xvfb-run xdotool gsettings convert
bg="$work/prog/source/DeskTopBG"
# A second background, plain grey, high enough for the month picture and the
# note (30 + 300 + 400 rows). Line 1 names the current background; the
# rotation starts at the last entry and walks back to line 2: grey, A1, grey, ...
convert -size 1280x800 xc:'#606060' -type TrueColor "BMP3:$bg/grey.bmp"
printf 'A1.bmp\r\nA1.bmp\r\ngrey.bmp\r\n' > "$work/prog/Data/BGPicList.ini"

cat > "$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -euo pipefail
prog=$1
. "$E2E_LIB"
"$prog/dorvel-calendar" &
pid=$!
find_window 750 4000 || { echo "the main window did not appear" >&2; exit 1; }
sleep 1.5
xdotool mousemove $((X + 530)) $((Y + 430)) click 1
sleep 0.3
LC_ALL=C.UTF-8 xdotool type --delay 40 "WALLPAPER NOTE"
sleep 0.5
apply() {
  # The apply-to-desktop picture at the top right of the window.
  xdotool mousemove $((X + 690)) $((Y + 58)) click 1
  local mx=$X my=$Y
  find_window 340 350 || { echo "the confirmation box did not appear" >&2; exit 1; }
  sleep 0.5
  xdotool mousemove $((X + 210)) $((Y + 132)) click 1 # its OK button
  X=$mx Y=$my
  sleep 2
}
apply
cp "$prog/source/DeskTopBG/Mix.bmp" "$prog/first-mix.bmp"
gsettings get org.gnome.desktop.background picture-uri > "$prog/first-uri.txt"
apply
kill "$pid"
wait "$pid" || true
SESSION
chmod +x "$work/session.sh"

export LANG=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile E2E_LIB="$here/e2e_lib.sh"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$work/session.sh" "$work/prog"

first="$work/prog/first-mix.bmp"
size() { identify -format '%wx%h' "$1"; }
# Colour of a pixel as "r,g,b".
pixel() { convert "$1" -format '%[fx:int(255*u.p{'"$2"','"$3"'}.r)],%[fx:int(255*u.p{'"$2"','"$3"'}.g)],%[fx:int(255*u.p{'"$2"','"$3"'}.b)]' info:; }
# Number of pixels that differ between two same-sized pictures in a region WxH+X+Y,
# beyond the loss of the JPEG round trip the wallpaper file went through.
differ() {
  convert "$1" -crop "$3" +repage "$work/a.png"
  convert "$2" -crop "$3" +repage "$work/b.png"
  compare -metric AE -fuzz 6% "$work/a.png" "$work/b.png" null: 2>&1 || true
}

check "the first wallpaper is composed on grey.bmp" '[ "$(size "$first")" = 1280x800 ] && [ "$(differ "$first" "$bg/grey.bmp" 20x20+5+5)" = 0 ]'
check "the desktop was pointed at Mix.bmp" \
  '[ "$(cat "$work/prog/first-uri.txt")" = "'"'file://$work/prog/source/DeskTopBG/Mix.bmp'"'" ]'
# Month picture at columns 1280-50-350 = 880 .. 1229, rows 30..329; note below it.
check "the month picture is mixed into the wallpaper" \
  '[ "$(differ "$first" "$bg/grey.bmp" 350x300+880+30)" -gt 3000 ]'
check "the note text is mixed in under it" \
  '[ "$(differ "$first" "$bg/grey.bmp" 350x60+880+330)" -gt 50 ]'
check "outside both pictures the background is untouched" \
  '[ "$(differ "$first" "$bg/grey.bmp" 850x800+0+0)" = 0 ]'
check "grey.bmp is unchanged on disk" '[ "$(pixel "$bg/grey.bmp" 5 5)" = 96,96,96 ]'
check "the second click composed onto A1.bmp" '[ "$(size "$bg/Mix.bmp")" = 1920x1080 ]'
check "Mix.Jpg holds the second wallpaper" '[ "$(size "$bg/Mix.Jpg")" = 1920x1080 ]'
[ $fail = 0 ] || ls -la "$bg"
exit $fail
