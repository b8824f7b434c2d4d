#!/bin/sh
# Starts the application headless, waits until it is up, sends SIGTERM and expects exit status 0.
. "$(dirname "$0")/km3_sigterm.sh"
km3_term_when_up "$1" 0
echo "km3 quit cleanly"
