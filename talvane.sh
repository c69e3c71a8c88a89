#!/usr/bin/env bash
# Talvane's one entry point.
#   ./talvane.sh run    install what is missing, build, start Talvane
#                       (on the built-in simulated modem when no modem is attached)
#   ./talvane.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev nettle-dev
  python3 python3-xlrd python3-olefile python3-gammu ccache
  desktop-file-utils man-db dpkg-dev
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

cmd_run() {
  ensure_packages
  build_release
  local port sim_pid=""
  port=$(attached_modem_port || true)
  if [ -z "$port" ]; then
    log "no modem attached: starting the simulated modem"
    exec 3< <(build/release/tools/modemsim/talvane-modemsim)
    sim_pid=$!
    read -r port <&3
    log "simulated modem on $port"
    trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true' EXIT
  fi
  if [ -x build/release/app/qt/talvane ]; then
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
      log "no display: Talvane is a desktop program and needs a graphical session (DISPLAY or WAYLAND_DISPLAY is not set)."
      log "Trying the modem from the console instead: talvane-cli connect --port $port"
      build/release/app/cli/talvane-cli connect --port "$port"
    else
      TALVANE_SIMULATED_PORT=${sim_pid:+$port} build/release/app/qt/talvane "$@"
    fi
  else
    build/release/app/cli/talvane-cli connect --port "$port"
  fi
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
