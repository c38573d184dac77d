# Sourced by the end-to-end scripts. start_xvfb WORK SCREEN starts Xvfb on a display
# number the server picks itself, so that runs side by side never collide, and returns once
# it accepts clients, with DISPLAY exported and the server's process id in $xvfb. With
# -noreset the server does not reset, refusing connections meanwhile, when its last client
# leaves.
start_xvfb() {
  local file=$1/xvfb-display
  Xvfb -displayfd 3 -noreset -screen 0 "$2" -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 200); do
    [ -s "$file" ] && break
    sleep 0.1
  done
  [ -s "$file" ] || return 1
  export DISPLAY=:$(tr -d '\n' <"$file")
}
