#!/bin/sh
# Installs what is missing, builds, and starts the application.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/app/km3 "$@"
