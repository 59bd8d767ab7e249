#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# apt-get update runs only when something is missing; sudo only when not root.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libjpeg62-turbo-dev libfreetype-dev libfontconfig-dev
  fonts-wqy-microhei fonts-dejavu-core libpng-dev libicu-dev
  qt6-base-dev libxcb1-dev xvfb xauth xdotool xclip openbox lld
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
