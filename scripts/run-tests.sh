#!/bin/sh
# Installs what is missing, builds, and runs every test (headless).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
