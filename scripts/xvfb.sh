# Sourced by the scripts that run Wine without a display. start_xvfb SCREEN
# (e.g. 1024x768x24) starts a virtual screen on a free display, which Xvfb
# picks and reports, and sets DISPLAY and xvfb_pid.
start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  DISPLAY=":$(head -n1 <"$fifo")"
  export DISPLAY
  rm -f "$fifo"
}
