#!/usr/bin/env bash
# Talvane's one entry point.
#   ./talvane.sh run    install what is missing, build, start Talvane
#                       (on the built-in simulated modem when no modem is attached;
#                       without a display: a demonstration campaign on it)
#   ./talvane.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev nettle-dev libzip-dev libxml2-dev libsqlite3-dev
  python3 python3-xlrd python3-olefile python3-gammu gammu python3-openpyxl ccache xvfb xdotool
  desktop-file-utils man-db dpkg-dev locales
  fonts-liberation fonts-dejavu-core fonts-wine
)

log() { printf '== %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

JOBS=$(nproc 2>/dev/null || echo 2)

# Compiler caching: CI builds a fresh clone in another folder on the machine
# that built before, so paths are kept relative to the project folder and the
# cache is shared by every clone and build type.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-5G}

# configure_and_build <dir> <cmake options...>
configure_and_build() {
  local dir=$1; shift
  local launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

build_release() {
  configure_and_build build/release -DCMAKE_BUILD_TYPE=Release
}

# A port of a modem attached to this machine, or nothing: a port where a
# modem answers, not merely a serial port (most PCs have a UART without one).
attached_modem_port() {
  build/release/app/cli/talvane-cli probe 2>/dev/null | head -n 1
}

has_display() {
  [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ "${QT_QPA_PLATFORM:-}" = offscreen ]
}

# The children this script starts: they end with it, however it ends (the
# window closed, Ctrl-C, a kill). Global, because the EXIT trap runs after the
# function that started them has returned.
SIM_PID=""
WINDOW_PID=""
stop_children() {
  local pid
  for pid in "$WINDOW_PID" "$SIM_PID"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  for pid in "$WINDOW_PID" "$SIM_PID"; do
    [ -n "$pid" ] && wait "$pid" 2>/dev/null || true
  done
  WINDOW_PID="" SIM_PID=""
}
trap stop_children EXIT
trap 'stop_children; exit 130' INT
trap 'stop_children; exit 143' TERM HUP

# Starts talvane-modemsim (with the options given) and sets `port` of the
# caller to its pseudo-terminal.
start_simulated_modem() {
  log "no modem attached: starting the simulated modem"
  exec 3< <(exec build/release/tools/modemsim/talvane-modemsim "$@")
  SIM_PID=$!
  read -r port <&3
  log "simulated modem on $port"
}

# The window, on the modem's port (the found modem's or the simulated one's,
# which joins the port list). Run in the background and waited for, so that a
# signal to this script reaches the trap at once and ends the window too.
run_window() {
  local status=0
  TALVANE_START_PORT=$port build/release/app/qt/talvane "$@" &
  WINDOW_PID=$!
  wait "$WINDOW_PID" || status=$?
  WINDOW_PID=""
  return "$status"
}

# A real modem without a display: nothing is sent, the console way is shown.
show_console_campaign() {
  log "no display, and a modem is attached on $1: nothing is sent."
  log "To send one text to every number of a spreadsheet (column A) from the console:"
  log "  build/release/app/cli/talvane-cli campaign --port $1 LISTA.xls \"Treść wiadomości\""
  log "or to numbers typed in: ... campaign --port $1 --numbers 600100200,600100201 \"Treść wiadomości\""
}

# No display and no modem: the main job on the simulated modem, with a
# sample sheet written by the program's own spreadsheet writer.
run_demonstration() {
  local cli=build/release/app/cli/talvane-cli folder status=0
  folder=$(mktemp -d "${TMPDIR:-/tmp}/talvane-demo.XXXXXX")
  log "no display: a demonstration of the main job on the simulated modem"
  "$cli" xls write-list "$folder/klienci.xls" 600100200 600100201 600100202 >/dev/null
  log "sample sheet with three numbers: $folder/klienci.xls"
  log "sending one text to every number: talvane-cli campaign --port $port $folder/klienci.xls ..."
  # The demonstration keeps its journal (and its other program files) in its
  # own folder: the user's journal holds only the user's campaigns, and the
  # same sample is sent every time.
  TALVANE_PROGRAM_DIR="$folder/program" \
    "$cli" campaign --port "$port" "$folder/klienci.xls" "Dzień dobry! Zapraszamy na jesienną wyprzedaż." || status=$?
  log "result workbook (sent numbers green, failed red): $folder/klienci_out.xls"
  return "$status"
}

cmd_run() {
  # TALVANE_SKIP_BUILD=1 runs what build/release holds (the check of this
  # command does so inside ./talvane.sh test, after its build).
  if [ -z "${TALVANE_SKIP_BUILD:-}" ]; then
    # The build's progress is not the command's output: standard output
    # carries what the demonstration prints.
    ensure_packages >&2
    build_release >&2
  fi
  local port
  port=$(attached_modem_port || true)
  if ! has_display || [ ! -x build/release/app/qt/talvane ]; then
    if [ -n "$port" ]; then
      show_console_campaign "$port"
      return 0
    fi
    start_simulated_modem --quiet
    run_demonstration
    return
  fi
  [ -n "$port" ] || start_simulated_modem --quiet
  run_window "$@"
}

cmd_test() {
  ensure_packages
  log "release build and tests"
  build_release
  (cd build/release && ctest --output-on-failure -j "$JOBS" -LE fuzz --timeout 900)

  log "AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
  configure_and_build build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALVANE_SANITIZE=address,undefined -DTALVANE_WITH_QT=OFF -DTALVANE_WITH_BENCH=OFF
  (cd build/asan && TALVANE_TEST_SLOWDOWN=3 ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     ctest --output-on-failure -j "$JOBS" -LE "fuzz|slow" --timeout 900)

  log "ThreadSanitizer build and the threaded tests"
  configure_and_build build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALVANE_SANITIZE=thread -DTALVANE_WITH_QT=OFF -DTALVANE_WITH_BENCH=OFF
  (cd build/tsan && TALVANE_TEST_SLOWDOWN=5 TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
     ctest --output-on-failure -j "$JOBS" -L threaded -LE slow --timeout 900)

  log "fuzz targets (libFuzzer + AddressSanitizer, bounded time)"
  configure_and_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTALVANE_WITH_FUZZ=ON -DTALVANE_SANITIZE=address,undefined \
    -DTALVANE_WITH_QT=OFF -DTALVANE_WITH_BENCH=OFF -DTALVANE_WITH_TESTS=OFF
  (cd build/fuzz && ctest --output-on-failure -j "$JOBS" -L fuzz --timeout 900)
}

case "${1:-}" in
  run) shift; cmd_run "$@" ;;
  test) shift; cmd_test "$@" ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac
