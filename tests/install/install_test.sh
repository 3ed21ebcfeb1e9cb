#!/usr/bin/env bash
# Installs into a scratch home, changes the user's files, installs again, and
# checks that notes, settings and background pictures survived the upgrade.
#
# usage: install_test.sh SOURCE_TOP PROGRAM_DIR
set -euo pipefail
top=$1
dist=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/.local/share
dest=$home/.local/opt/dorvel-calendar
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }

"$top/scripts/install.sh" "$dist" >/dev/null
check "program installed" '[ -x "$dest/dorvel-calendar" ]'
check "supplied data installed" '[ -f "$dest/Data/UserData.mdb" ] && [ -f "$dest/source/Navigate/default.htm" ] && [ -d "$dest/source/Month" ]'
check "launcher written" 'grep -q "^Exec=\"$dest/dorvel-calendar\"" "$XDG_DATA_HOME/applications/dorvel-calendar.desktop"'
check "icon installed" '[ -f "$XDG_DATA_HOME/icons/hicolor/256x256/apps/dorvel-calendar.png" ]'
check "directory is user-writable" '[ -w "$dest/Data/UserData.mdb" ] && [ -w "$dest/source/DeskTopBG" ]'

# The user's own files, then an upgrade.
echo "my notes" > "$dest/Data/UserData.mdb"
printf '1\r\n800\r\n600\r\n10\r\n20\r\n' > "$dest/Data/FormSize.ini"
echo "picture" > "$dest/source/DeskTopBG/mine.bmp"
echo "old" > "$dest/stale-file"
"$top/scripts/install.sh" "$dist" >/dev/null
check "notes kept" '[ "$(cat "$dest/Data/UserData.mdb")" = "my notes" ]'
check "settings kept" '[ "$(head -c 1 "$dest/Data/FormSize.ini")" = 1 ] && grep -q 800 "$dest/Data/FormSize.ini"'
check "background pictures kept" '[ "$(cat "$dest/source/DeskTopBG/mine.bmp")" = picture ]'
check "program files replaced" '[ ! -e "$dest/stale-file" ] && [ -x "$dest/dorvel-calendar" ]'
check "no leftovers beside it" '[ -z "$(ls "$home/.local/opt" | grep -v "^dorvel-calendar$")" ]'
exit $fail
