#!/usr/bin/env bash
# Installs the program for the current user: a complete, user-writable program
# directory in ~/.local/opt/dorvel-calendar/ and a launcher in the desktop menu.
# An existing installation's notes and settings (Data/, data/) and background
# pictures (source/DeskTopBG/) are kept; everything else is replaced.
#
# usage: scripts/install.sh [PROGRAM_DIR]   (default: build/dist, built if missing)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
src=${1:-$top/build/dist}
if [ ! -x "$src/dorvel-calendar" ]; then
  "$top/scripts/install-deps.sh"
  "$top/scripts/build.sh"
  src=$top/build/dist
fi
dest=${DORVEL_INSTALL_DIR:-$HOME/.local/opt/dorvel-calendar}
apps=${XDG_DATA_HOME:-$HOME/.local/share}/applications
icons=${XDG_DATA_HOME:-$HOME/.local/share}/icons/hicolor/256x256/apps

stage=$(mktemp -d "${TMPDIR:-/tmp}/dorvel-install.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp -a "$src/." "$stage/"

if [ -d "$dest" ]; then
  # Keep the user's own files: every folder whose name is data in any letter case,
  # and the background pictures with the wallpaper's work files.
  if [ -n "$(find "$dest" -mindepth 1 -maxdepth 1 -type d -iname data)" ]; then
    find "$stage" -mindepth 1 -maxdepth 1 -type d -iname data -exec rm -rf {} +
    find "$dest" -mindepth 1 -maxdepth 1 -type d -iname data -exec cp -a {} "$stage/" \;
  fi
  if [ -d "$dest/source/DeskTopBG" ]; then
    rm -rf "$stage/source/DeskTopBG"
    cp -a "$dest/source/DeskTopBG" "$stage/source/DeskTopBG"
  fi
fi

# Swap the new directory in only once it is complete.
mkdir -p "$(dirname "$dest")"
if [ -d "$dest" ]; then
  mv "$dest" "$dest.old.$$"
  mv "$stage" "$dest"
  rm -rf "$dest.old.$$"
else
  mv "$stage" "$dest"
fi
chmod -R u+rwX "$dest"

mkdir -p "$apps" "$icons"
cp "$top/assets/icon.png" "$icons/dorvel-calendar.png"
cat > "$apps/dorvel-calendar.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Dorvel Calendar
Name[zh_CN]=Dorvel桌面日历
Comment=Desktop calendar with the Chinese lunar calendar and daily notes
Comment[zh_CN]=带农历、节气和每日记事的桌面日历
Exec="$dest/dorvel-calendar"
Path=$dest
Icon=dorvel-calendar
Terminal=false
Categories=Office;Calendar;Utility;
DESKTOP
echo "installed in $dest"
