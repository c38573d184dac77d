# Sourced by the Wine end-to-end scripts: the checks that skip a run, a fresh wine64 prefix
# on its own Xvfb that goes when the script ends, the ok/FAIL tally, the message box
# watcher, the registry readers and the X window helpers.
wine_env_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

skip() { echo "SKIPPED: $*"; exit 77; }
need_tool() {  # command, the name to report it by (the command's own by default)
  command -v "$1" >/dev/null || skip "${2:-$1} is not installed"
}
need_file() {
  local file
  for file; do
    [ -f "$file" ] || skip "no $file (run scripts/build-windows.sh first)"
  done
}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
check() {  # name, then a command that succeeds when the check holds
  local name=$1
  shift
  if "$@"; then ok "$name"; else fail "$name"; fi
}
# The tally as the last line; the script's status is this function's.
finish() {
  echo "$failures failure(s)"
  [ "$failures" -eq 0 ]
}

# Processes the script starts in the background that must not outlive it, beside Xvfb
# and the wine server.
cleanup_pids=()
wine_cleanup() {
  local pid
  for pid in "${cleanup_pids[@]}"; do kill "$pid" 2>/dev/null; done
  wineserver -k >/dev/null 2>&1
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
# A new prefix in $work/prefix, initialised, on a new X server; $drive is its C: drive.
# The browser's HTML engine and .NET stay disabled, as the tests expect no page loads, and
# the servers the tests start are on the loopback, not behind a proxy.
start_wine() {
  work=$(mktemp -d)
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset http_proxy https_proxy
  xvfb=
  trap wine_cleanup EXIT
  source "$wine_env_dir/../start_xvfb.sh"
  start_xvfb "$work" 1024x768x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
  wine wineboot -i >/dev/null 2>&1 || skip "wineboot failed"
  drive=$WINEPREFIX/drive_c
}

# The watcher (C:\msgbox_watcher.exe, copied there by the script) reads and dismisses the
# message boxes for at most $1 seconds (90 by default), until stop_watcher, which leaves
# the boxes it saw in $boxes, one "[caption] text" a line.
start_watcher() {
  rm -f "$drive/boxes.txt" "$drive/stop"
  wine 'C:\msgbox_watcher.exe' 'C:\boxes.txt' 'C:\stop' "${1:-90}" &
  watcher_pid=$!
  local deadline=$((SECONDS + 30))
  until [ -e "$drive/boxes.txt" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
}
stop_watcher() {
  touch "$drive/stop"
  wait "$watcher_pid"
  boxes=$(tr -d '\r' <"$drive/boxes.txt" 2>/dev/null)
}

reg_value() {  # key value -> the data of that value, or nothing
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
reg_default() {
  wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ { sub(/^.*REG_SZ +/, ""); print }'
}
key_exists() { wine reg query "$1" >/dev/null 2>&1; }

# The X tools with a locale they read window titles in, whatever the script's own is.
xdo() { LC_ALL=C.UTF-8 xdotool "$@"; }
# Waits up to $2 seconds (60 by default) for a shown window titled exactly $1 (ASCII) and
# prints its X window.
wait_window() {
  local deadline=$((SECONDS + ${2:-60})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdo search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Gives the window the keyboard; a window just mapped can refuse the focus for a moment.
focus_window() {
  for _ in $(seq 50); do
    xdo windowfocus --sync "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
