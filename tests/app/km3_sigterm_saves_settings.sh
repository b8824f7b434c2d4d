#!/bin/sh
# SIGTERM takes the close box's road: the program ends with status 0 and has saved its
# settings (window placement, bar state) on the way out.
set -u
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
ini="$home/config/Tessaline Inc./TSL-USB-KM3.ini"
XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home" "$1" &
pid=$!
i=0
until [ -d "$home/data/Tessaline Inc./TSL-USB-KM3" ]; do
  kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo "km3 ended by itself with $?"; exit 1; }
  i=$((i + 1))
  [ $i -le 600 ] || { kill -KILL "$pid"; echo "km3 did not come up"; exit 1; }
  sleep 0.05
done
sleep 0.3
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { echo "km3 exited with $status after SIGTERM"; exit 1; }
grep -q 'Width=' "$ini" || { echo "no window placement in $ini"; cat "$ini"; exit 1; }
grep -q 'State=' "$ini" || { echo "no bar state in $ini"; exit 1; }
grep -q 'Version=2.04' "$ini" || { echo "no settings version in $ini"; exit 1; }
echo "km3 saved its settings on SIGTERM"
