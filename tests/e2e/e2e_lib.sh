# Shared by the end-to-end scripts; sourced, not run.

# e2e_prepare PROGRAM_DIR TOOL...: skips (exit 77) when a tool is missing, makes
# $work with a fresh copy of the program directory in $work/prog (no window
# bounds, no ask-before-apply flag) and removes $work on exit.
e2e_prepare() {
  local dist=$1 tool
  shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -r "$dist" "$work/prog"
  rm -f "$work/prog/Data/FormSize.ini" "$work/prog/Data/configSetBg.ini"
}

# find_window MIN_WIDTH MAX_WIDTH: waits up to 20 s for a visible window of the
# program whose width lies in the range and sets X, Y, WIDTH and HEIGHT to its
# geometry; fails when none appears.
find_window() {
  local wid i
  for i in $(seq 1 100); do
    for wid in $(xdotool search --onlyvisible --class 'Dorvel' 2>/dev/null || true); do
      WIDTH=0
      eval "$(xdotool getwindowgeometry --shell "$wid" 2>/dev/null || true)" # X, Y, WIDTH, HEIGHT
      [ "${WIDTH:-0}" -ge "$1" ] && [ "${WIDTH:-0}" -le "$2" ] && return 0
    done
    sleep 0.2
  done
  return 1
}

# check TEXT CONDITION: prints the outcome; a failure sets fail=1.
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }
