# The one home of how our scripts run the Windows build under Wine: the
# environment of a private prefix, a virtual display, the first boot of a
# prefix and its persistent server, and stopping them. Sourced, never run:
#   . scripts/wine-env.sh
# by scripts/start.sh, scripts/bench.sh, tests/release/archive_test.sh and
# tests/wine-session.sh, which CTest runs with sh: this file is POSIX sh.
# Every function works under `set -eu`; their variables start with _zw_ so
# that they never change a caller's.

# Kept as plain NAME=value lines without quotes: cmake/WinTests.cmake reads
# these three lines to give the Windows test programs the same environment.
ZRCC_WINE_PREFIX_NAME=wineprefix
ZRCC_WINEDEBUG=-all
ZRCC_WINEDLLOVERRIDES=mscoree,mshtml=
# The virtual display: large enough for the window's default 1600 x 900.
ZRCC_XVFB_SCREEN=1920x1080x24

# zrcc_wine_env <build folder>: the environment for running that build's
# programs, in the build's own prefix.
zrcc_wine_env() {
  zrcc_wine_env_prefix "$1/$ZRCC_WINE_PREFIX_NAME"
}

# zrcc_wine_env_prefix <prefix>: the same with the prefix named directly.
# Without WINEDEBUG=-all Wine's diagnostics mix into what the programs print;
# without the overrides the first boot of a prefix offers to install Mono and
# Gecko, which nothing here uses, and waits for an answer.
zrcc_wine_env_prefix() {
  case "$1" in
    /*) WINEPREFIX=$1 ;;
    *) WINEPREFIX=$PWD/$1 ;;  # Wine refuses a relative prefix
  esac
  WINEDEBUG=$ZRCC_WINEDEBUG
  WINEDLLOVERRIDES=$ZRCC_WINEDLLOVERRIDES
  export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
}

# zrcc_display_start <number>: makes :<number> a display that answers and
# exports DISPLAY. Xvfb is started there unless a server already holds that
# number; ZRCC_XVFB_STARTED then says 1, else it is empty, so that a caller
# stops only what it started. Returns non-zero when the display has not
# answered within ten seconds.
zrcc_display_start() {
  ZRCC_XVFB_STARTED=""
  # A lock (and socket) left by a server that is gone, killed without its
  # cleanup, would pass for a display that answers nothing.
  if [ -e "/tmp/.X$1-lock" ]; then
    _zw_pid=$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock") || true
    if [ -n "$_zw_pid" ] && ! kill -0 "$_zw_pid" 2>/dev/null; then
      rm -f "/tmp/.X$1-lock" "/tmp/.X11-unix/X$1"
    fi
  fi
  if [ ! -e "/tmp/.X$1-lock" ] && command -v Xvfb >/dev/null 2>&1; then
    # nohup: the display outlives a CTest fixture step that started it.
    nohup Xvfb ":$1" -screen 0 "$ZRCC_XVFB_SCREEN" -nolisten tcp >/dev/null 2>&1 </dev/null &
    ZRCC_XVFB_STARTED=1
  fi
  DISPLAY=":$1"
  export DISPLAY
  # The display must answer before the first window is made: the socket
  # appears before the server serves it, so xdpyinfo asks when it is present.
  _zw_i=0
  while [ "$_zw_i" -lt 100 ]; do
    if command -v xdpyinfo >/dev/null 2>&1; then
      xdpyinfo -display ":$1" >/dev/null 2>&1 && return 0
    elif [ -e "/tmp/.X11-unix/X$1" ]; then
      return 0
    fi
    sleep 0.1
    _zw_i=$((_zw_i + 1))
  done
  return 1
}

# zrcc_display_stop <number>: ends the X server that holds :<number>.
zrcc_display_stop() {
  if [ -e "/tmp/.X$1-lock" ]; then
    # The lock may go between the test and the read: the server has ended.
    _zw_pid=$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock") || true
    if [ -n "$_zw_pid" ]; then kill "$_zw_pid" 2>/dev/null || true; fi
  fi
}

# zrcc_ensure_display <command...>: returns at once when there is a display.
# Without one it runs the command, normally the calling script itself, again
# in place of the shell on a virtual display that xvfb-run takes from the
# free numbers and ends with the command. The whole script runs there, not
# only its last program: the first boot of a prefix starts Wine's desktop,
# and a program that comes later on another display than the desktop's can
# make no window.
zrcc_ensure_display() {
  if [ -z "${DISPLAY:-}" ]; then
    echo "No display: running on a virtual one (xvfb-run)." >&2
    exec xvfb-run -a -s "-screen 0 $ZRCC_XVFB_SCREEN" "$@"
  fi
}

# zrcc_wine_booted: whether the prefix in WINEPREFIX has had its first boot.
zrcc_wine_booted() {
  [ -f "$WINEPREFIX/system.reg" ]
}

# zrcc_wine_boot [log file]: gives the prefix in WINEPREFIX its first boot
# when it has not had one (about six seconds). wineboot's output goes to the
# log file, /dev/null by default, never to the caller's output: the services
# it starts inherit that output, and a pipe they hold open keeps its reader
# (CTest) waiting for ever. Returns wineboot's status.
zrcc_wine_boot() {
  mkdir -p "$WINEPREFIX"
  zrcc_wine_booted && return 0
  wineboot -i >"${1:-/dev/null}" 2>&1 </dev/null
}

# zrcc_wine_server_start: a persistent server for the prefix, so that every
# Wine start after it skips the server's start-up. Right after the first boot
# of a prefix it can exit non-zero although a server keeps running; whatever
# runs next fails loudly when none does.
zrcc_wine_server_start() {
  wineserver -p >/dev/null 2>&1 </dev/null || true
}

# zrcc_wine_stop: ends the prefix's server and every Wine process in it.
zrcc_wine_stop() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
}

# zrcc_wine_session_start <display number>: everything a run of many Wine
# programs needs, started once: the display, a booted prefix, its persistent
# server and Wine's background services. The services inherit the output of
# the Wine process that starts them; started here with none, they never hold
# a pipe of whoever runs the programs later (CTest waits for every holder of
# its pipes to exit). Each step is tried even when one before it failed, so
# that a slow display never leaves the prefix unbooted; returns non-zero when
# any step failed.
zrcc_wine_session_start() {
  _zw_status=0
  zrcc_display_start "$1" || _zw_status=1
  zrcc_wine_boot || _zw_status=1
  zrcc_wine_server_start
  wine cmd /c ver >/dev/null 2>&1 </dev/null || _zw_status=1
  return "$_zw_status"
}

# zrcc_wine_session_stop <display number>: ends the prefix's Wine processes
# and the display.
zrcc_wine_session_stop() {
  zrcc_wine_stop
  zrcc_display_stop "$1"
}
