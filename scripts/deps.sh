#!/usr/bin/env bash
# Installs the Debian packages Tumblebout needs to build, play and test, if any are missing.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libsdl2-dev libvorbis-dev libogg-dev libfreetype-dev libpng-dev zlib1g-dev
  libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libenet-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  fonts-roboto-unhinted
  # The package test makes a .deb with CPack (which needs file) and checks it.
  file lintian appstream
  # The online window test runs two games on a virtual display.
  xvfb xauth
  # The invite tests build networks of namespaces with routers that masquerade.
  iproute2 nftables
)
# `deps.sh fuzz` adds clang and its libFuzzer runtime for scripts/fuzz.sh.
if [ "${1:-}" = fuzz ]; then packages+=(clang libclang-rt-14-dev); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
