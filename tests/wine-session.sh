#!/bin/sh
# Starts or stops what the Wine tests need: an Xvfb display and a booted Wine
# prefix whose server and services run detached from CTest's output pipes.
#   wine-session.sh start|stop <wineprefix> <display-number>
set -u
action=$1 prefix=$2 display=$3
. "$(dirname "$0")/../scripts/wine-env.sh"
zrcc_wine_env_prefix "$prefix"
case "$action" in
start)
  # The tests themselves say what is missing when a step failed.
  zrcc_wine_session_start "$display"
  exit 0
  ;;
stop)
  zrcc_wine_session_stop "$display"
  exit 0
  ;;
esac
echo "usage: wine-session.sh start|stop <wineprefix> <display>" >&2
exit 2
