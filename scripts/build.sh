#!/bin/sh
# Configures and builds into build/ (or the folder given as $BUILD_DIR); extra arguments go
# to CMake's configure step.
set -eu
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
