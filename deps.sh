#!/usr/bin/env bash
# Installs the Debian packages hkviewer needs, but only those that are missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config clang libclang-rt-14-dev
    qt6-base-dev libqt6opengl6-dev
    libgl-dev libglu1-mesa-dev
    libfreetype-dev libfontconfig-dev fonts-ipafont-gothic
    libgtest-dev libbenchmark-dev
    libfcl-dev nlohmann-json3-dev libzip-dev libssl-dev libxml2-utils
    xvfb xauth libxtst-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
