# A private X server for the tests and for the demo when no display is usable. Source it.

# xvfb_start: starts Xvfb on a free display and exports DISPLAY.
xvfb_start() {
  local fd_file
  fd_file=$(mktemp)
  # Not holding the test run's lock (fd 9), so a server left behind never blocks later runs.
  Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$fd_file" 2>/dev/null 9>&- &
  TESSARY_XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$fd_file")"
  rm -f "$fd_file"
}

# xvfb_stop: ends the server xvfb_start made.
xvfb_stop() {
  [ -n "${TESSARY_XVFB_PID:-}" ] && kill "$TESSARY_XVFB_PID" 2>/dev/null
  TESSARY_XVFB_PID=
}

# display_usable: true when DISPLAY names an X server that answers.
display_usable() {
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}
