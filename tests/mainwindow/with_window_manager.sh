#!/bin/sh
# Runs a test program on a virtual X screen (1280x1024) under the openbox window manager,
# where windows get real frames, as on a user's desktop.
# The virtual screen has no session bus: without an address, libdbus would try to start one
# for Qt's X11 plugin (and keep an allocation the leak checker reports).
export DBUS_SESSION_BUS_ADDRESS=disabled:
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  # The window manager is ready once it announces itself on the root window.
  tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ]; then echo "openbox did not start" >&2; kill "$wm"; exit 1; fi
    sleep 0.05
  done
  "$@"
  rc=$?
  kill "$wm" 2>/dev/null
  exit "$rc"' sh "$@"
