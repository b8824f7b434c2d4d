#!/bin/sh
# SIGTERM takes the close box's road: the program ends with status 0 and has saved its
# settings (window placement, bar state) on the way out; also while the box at start-up that
# tells of a damaged settings file is open, before the program's event loop runs.
. "$(dirname "$0")/../platform/km3_sigterm.sh"
ini="$home/config/Tessaline Inc./TSL-USB-KM3.ini"
saved() {
  grep -q 'Width=' "$ini" || { echo "no window placement in $ini $1"; cat "$ini"; exit 1; }
  grep -q 'State=' "$ini" || { echo "no bar state in $ini $1"; exit 1; }
  grep -q 'Version=2.04' "$ini" || { echo "no settings version in $ini $1"; exit 1; }
}
km3_term_when_up "$1" 0.3
saved ""
echo "km3 saved its settings on SIGTERM"

printf '[Version]\nVersion=2.04\n\n[AllViewState\n' >"$ini"
rm -rf "$home/data"
km3_term_when_up "$1" 1
[ -f "$ini.damaged" ] || { echo "the damaged settings file was not put aside"; exit 1; }
saved "after SIGTERM with the start-up box open"
echo "km3 ended in order on SIGTERM with the start-up box open"
