#!/bin/sh
# SIGTERM takes the close box's road: the program ends with status 0 and has saved its
# settings (window placement, bar state) on the way out.
. "$(dirname "$0")/../platform/km3_sigterm.sh"
ini="$home/config/Tessaline Inc./TSL-USB-KM3.ini"
km3_term_when_up "$1" 0.3
grep -q 'Width=' "$ini" || { echo "no window placement in $ini"; cat "$ini"; exit 1; }
grep -q 'State=' "$ini" || { echo "no bar state in $ini"; exit 1; }
grep -q 'Version=2.04' "$ini" || { echo "no settings version in $ini"; exit 1; }
echo "km3 saved its settings on SIGTERM"
