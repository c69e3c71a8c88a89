#!/usr/bin/env bash
# `./talvane.sh run` as a user meets it, with the programs build/release
# holds (no build here):
#  - under a virtual display the window opens (on the simulated modem where
#    no modem is attached); once the window is closed, or the script is
#    terminated, no process the script started is left, checked by process id;
#  - without a display the demonstration runs, the script exits 0 and names
#    its result workbook, which an independent reader (xlrd) opens.
# Every wait is bounded; a loaded machine only makes it slower.
#   run_script_check.sh [PYTHON]     (a python3 with xlrd; /usr/bin/python3)
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
python=${1:-/usr/bin/python3}

fail() { echo "run script check: $*" >&2; exit 1; }
for tool in Xvfb xdotool "$python"; do
  command -v "$tool" >/dev/null || { echo "run script check: skipped, $tool is not installed" >&2; exit 77; }
done
for program in app/qt/talvane app/cli/talvane-cli tools/modemsim/talvane-modemsim; do
  [ -x "build/release/$program" ] || fail "build/release/$program is not built"
done

work=$(mktemp -d)
mkdir -m 700 "$work/home" "$work/tmp" "$work/runtime"
SESSIONS=()
XVFB_PID=""
# Whatever a failed run left: the processes of the sessions started here and
# the display, each by its id.
clean_up() {
  local sid pid
  for sid in "${SESSIONS[@]}"; do
    for pid in $(pgrep -s "$sid" || true); do kill -9 "$pid" 2>/dev/null || true; done
  done
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap clean_up EXIT

# The script runs as a user's would, but keeps its state and files here.
user_env=(HOME="$work/home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime"
          XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
          TALVANE_SKIP_BUILD=1)

# "START STATE" of a process, or nothing when it is gone (a zombie is gone).
process_stat() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
  stat=${stat##*) }
  # shellcheck disable=SC2086
  set -- $stat
  [ "$1" = Z ] || echo "${20} $1"
}
alive() { [ -n "$(process_stat "$1")" ]; }

# until_within SECONDS COMMAND...: true as soon as COMMAND is, false once the
# time is up.
until_within() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}

descendants() {
  local child
  for child in $(pgrep -P "$1" || true); do
    echo "$child"
    descendants "$child"
  done
}

# Starts ./talvane.sh run in a session of its own (so that whatever it
# starts can be found afterwards too); sets SCRIPT_PID. $1 names the run.
start_script() {
  local name=$1
  shift
  setsid env "${user_env[@]}" "$@" ./talvane.sh run >"$work/$name.out" 2>"$work/$name.err" </dev/null &
  SCRIPT_PID=$!
  SESSIONS+=("$SCRIPT_PID")
  session_started() { [ "$(ps -o sid= -p "$SCRIPT_PID" | tr -d ' ')" = "$SCRIPT_PID" ] || ! alive "$SCRIPT_PID"; }
  until_within 20 session_started || fail "$name: ./talvane.sh run did not start in a session of its own"
}

# Waits (bounded) for the script to end; sets STATUS.
wait_for_script() {
  local name=$1 seconds=$2
  script_ended() { ! alive "$SCRIPT_PID"; }
  until_within "$seconds" script_ended || fail "$name: ./talvane.sh run still runs after ${seconds}s: $(cat "$work/$name.err")"
  STATUS=0
  wait "$SCRIPT_PID" || STATUS=$?
}

# Fails when a recorded process (PID START) or any process of the script's
# session is still there, a few seconds after the script ended.
expect_nothing_left() {
  local name=$1 recorded=$2 pid start left
  nothing_left() {
    left=""
    while read -r pid start; do
      [ -n "$pid" ] || continue
      [ "$(process_stat "$pid" | cut -d' ' -f1)" != "$start" ] || left+=" $pid"
    done <<<"$recorded"
    left+=$(pgrep -s "$SCRIPT_PID" | sed 's/^/ /' | tr -d '\n' || true)
    [ -z "$left" ]
  }
  if ! until_within 5 nothing_left; then
    left=${left# }
    fail "$name: left running after the script ended: $(ps -o pid=,comm= -p "${left// /,}" | tr '\n' ' ')"
  fi
}

# --- Under a virtual display -------------------------------------------------
Xvfb -displayfd 5 -screen 0 1366x768x24 -nolisten tcp 5>"$work/display" >"$work/xvfb.log" 2>&1 &
XVFB_PID=$!
display_ready() { [ -s "$work/display" ]; }
until_within 30 display_ready || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

# run_window NAME HOW: starts the script, waits for the window, records the
# script's processes, ends the window the way HOW says and checks what is left.
run_window() {
  local name=$1 how=$2 window processes recorded names pid
  start_script "$name" env -u WAYLAND_DISPLAY DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb
  window_open() {
    window=$(xdotool search --name '^Talvane ver' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] || ! alive "$SCRIPT_PID"
  }
  until_within 120 window_open || fail "$name: no window after 120s: $(cat "$work/$name.err")"
  [ -n "$window" ] || fail "$name: the script ended before its window opened: $(cat "$work/$name.err")"

  processes=$(descendants "$SCRIPT_PID")
  recorded=""
  for pid in $processes; do
    recorded+="$(process_stat "$pid" | cut -d' ' -f1 | sed "s/^/$pid /")"$'\n'
  done
  recorded=$(grep . <<<"$recorded" || true)
  names=$(ps -o comm= -p "$(tr '\n' ',' <<<"$processes" | sed 's/,$//')" || true)
  grep -qx talvane <<<"$names" || fail "$name: the window is not a process of the script: $names"
  if grep -q "starting the simulated modem" "$work/$name.err"; then
    grep -q "^talvane-modemsi" <<<"$names" || fail "$name: the simulated modem is not a process of the script: $names"
  fi

  case $how in
    close) "$python" tests/close_window.py "$window" ;;
    terminate) kill -TERM "$SCRIPT_PID" ;;
  esac
  wait_for_script "$name" 60
  expect_nothing_left "$name" "$recorded"
  echo "run script check: $name: $(wc -l <<<"$recorded") processes of the script ($(tr '\n' ' ' <<<"$names")), none left; exit status $STATUS"
}

run_window window-closed close
[ "$STATUS" -eq 0 ] || fail "window-closed: exit status $STATUS after the window was closed: $(cat "$work/window-closed.err")"
run_window script-terminated terminate
[ "$STATUS" -eq 143 ] || fail "script-terminated: exit status $STATUS after SIGTERM (143 expected)"

# --- Without a display ---------------------------------------------------------
start_script no-display env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
wait_for_script no-display 240
[ "$STATUS" -eq 0 ] || fail "no-display: exit status $STATUS: $(cat "$work/no-display.err")"
expect_nothing_left no-display ""
if grep -q "a modem is attached" "$work/no-display.err"; then
  echo "run script check: no-display: a modem is attached here, the console way was shown"
  exit 0
fi
result=$(sed -n 's/^== result workbook.*: //p' "$work/no-display.err")
[ -n "$result" ] || fail "no-display: the result workbook is not named: $(cat "$work/no-display.err")"
[ -s "$result" ] || fail "no-display: the named result workbook $result does not exist"
"$python" - "$result" <<'EOF' || fail "no-display: the result workbook does not show every number sent"
import sys
import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
rows = []
for row in range(sheet.nrows):
    cell = sheet.cell(row, 0)
    fill = book.xf_list[cell.xf_index].background
    rows.append((cell.value, book.colour_map.get(fill.pattern_colour_index) if fill.fill_pattern else None))
expected = [("600100200", (0, 255, 0)), ("600100201", (0, 255, 0)), ("600100202", (0, 255, 0))]
if rows != expected:
    sys.exit("rows (number, fill): %r" % rows)
EOF
echo "run script check: no-display: exit status 0, result workbook $result read by xlrd: three numbers, green"
echo "run script check: passed"
