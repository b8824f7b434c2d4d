#!/bin/sh
# Installs the Debian 12 packages that building, running and testing need, when any is
# missing. Runs apt-get as root, through sudo when started by another user.
set -eu
packages="build-essential cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev
libbenchmark-dev libusb-1.0-0-dev fonts-liberation2 qt6-translations-l10n clang libclang-rt-14-dev"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo apt-get install -y -q --no-install-recommends $missing
