#!/bin/sh
# The Wine setup our scripts share (scripts/wine-env.sh), run by the sh that
# CTest runs tests/wine-session.sh with:
#  - the environment CTest gives the test programs, which CMake read out of
#    that file, is the one the file itself exports for the build folder: the
#    programs run in the prefix the session booted;
#  - a display started where none runs answers and is claimed as started; a
#    second start finds it running and does not claim it (a script stops only
#    what it started); stopping it ends its server.
#   wine-env-test.sh <build folder>
set -eu
. "$(dirname "$0")/../scripts/wine-env.sh"
fail() { echo "wine-env test: $*" >&2; exit 1; }

given="$WINEPREFIX $WINEDEBUG $WINEDLLOVERRIDES"
zrcc_wine_env "$1"
[ "$WINEPREFIX $WINEDEBUG $WINEDLLOVERRIDES" = "$given" ] ||
  fail "the test programs get '$given', the scripts '$WINEPREFIX $WINEDEBUG $WINEDLLOVERRIDES'"

# A number no server holds, far above those of the tests and of xvfb-run -a.
n=300
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
trap 'zrcc_display_stop "$n"' EXIT
zrcc_display_start "$n" || fail "display :$n did not answer"
[ "$ZRCC_XVFB_STARTED" = 1 ] || fail "display :$n not claimed as started"
[ "$DISPLAY" = ":$n" ] || fail "DISPLAY is '$DISPLAY', not :$n"
zrcc_display_start "$n" || fail "display :$n did not answer the second time"
[ -z "$ZRCC_XVFB_STARTED" ] || fail "a display found running was claimed as started"
zrcc_display_stop "$n"
i=0
while [ -e "/tmp/.X$n-lock" ] && [ "$i" -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
[ ! -e "/tmp/.X$n-lock" ] || fail "display :$n still runs after it was stopped"
