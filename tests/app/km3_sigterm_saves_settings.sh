#!/bin/sh
# SIGTERM takes the close box's road: the program ends with status 0 and has saved its
# settings (window placement, bar state) on the way out; also while the box at start-up that
# tells of a damaged settings file is open, before the program's event loop runs.
. "$(dirname "$0")/../platform/km3_sigterm.sh"
ini="$home/config/Tessaline Inc./TSL-USB-KM3.ini"
for damaged in "" '[Version]\nVersion=2.04\n\n[AllViewState\n'; do
  if [ -n "$damaged" ]; then printf "$damaged" >"$ini" && rm -rf "$home/data"; fi
  km3_term_when_up "$1" 1
  grep -q 'Width=' "$ini" || { echo "no window placement in $ini"; cat "$ini"; exit 1; }
  grep -q 'State=' "$ini" || { echo "no bar state in $ini"; exit 1; }
  grep -q 'Version=2.04' "$ini" || { echo "no settings version in $ini"; exit 1; }
done
[ -f "$ini.damaged" ] || { echo "the damaged settings file was not put aside: no box at start-up"; exit 1; }
echo "km3 saved its settings on SIGTERM, also with the box at start-up open"
