# Sourced by the SIGTERM tests. Makes a fresh home ($home, removed on exit) and offers
# km3_term_when_up PROGRAM SETTLE: starts PROGRAM headless in that home, waits until it is up (it
# creates its data folder at start), waits SETTLE seconds more, sends SIGTERM and ends the test
# unless the program exits with status 0 within 30 s.
set -u
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

km3_term_when_up() {
  XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home" "$1" &
  pid=$!
  i=0
  until [ -d "$home/data/Tessaline Inc./TSL-USB-KM3" ]; do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo "km3 ended by itself with $?"; exit 1; }
    i=$((i + 1))
    [ $i -le 600 ] || { kill -KILL "$pid"; echo "km3 did not come up"; exit 1; }
    sleep 0.05
  done
  sleep "$2"
  kill -TERM "$pid"
  i=0
  while :; do
    # Ended: gone, or a zombie that waits for "wait" below.
    case "$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null)" in '' | Z*) break ;; esac
    i=$((i + 1))
    [ $i -le 600 ] || { kill -KILL "$pid"; echo "km3 still runs 30 s after SIGTERM"; exit 1; }
    sleep 0.05
  done
  wait "$pid"
  status=$?
  [ "$status" -eq 0 ] || { echo "km3 exited with $status after SIGTERM"; exit 1; }
}
