#!/bin/sh
# Starts or stops what the Wine tests need: an Xvfb display and a booted Wine
# prefix whose server and services run detached from CTest's output pipes.
#   wine-session.sh start|stop <wineprefix> <display-number>
set -u
action=$1 prefix=$2 display=$3
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=":$display"
lock="/tmp/.X${display}-lock"
case "$action" in
start)
  if [ ! -e "$lock" ] && command -v Xvfb >/dev/null 2>&1; then
    nohup Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  fi
  # The display must answer before the first window is made.
  i=0
  while [ $i -lt 100 ]; do
    if command -v xdpyinfo >/dev/null 2>&1; then
      xdpyinfo -display ":$display" >/dev/null 2>&1 && break
    elif [ -e "/tmp/.X11-unix/X$display" ]; then
      break
    fi
    sleep 0.1; i=$((i+1))
  done
  mkdir -p "$prefix"
  if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 </dev/null
  fi
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c ver >/dev/null 2>&1 </dev/null
  exit 0
  ;;
stop)
  wineserver -k >/dev/null 2>&1 </dev/null
  if [ -e "$lock" ]; then
    pid=$(tr -d ' ' < "$lock")
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
  fi
  exit 0
  ;;
esac
echo "usage: wine-session.sh start|stop <wineprefix> <display>" >&2
exit 2
