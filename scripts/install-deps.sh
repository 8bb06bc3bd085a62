#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and benchmarks with.
# Idempotent: prints nothing and installs nothing when everything is present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format clang ccache
  libembree-dev libtbb-dev libopenimageio-dev libpng-dev zlib1g-dev libfreetype-dev fonts-dejavu-core
  nlohmann-json3-dev libcli11-dev libtinygltf-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev ffmpeg
  libgtest-dev libgmock-dev libbenchmark-dev
  slurm-wlm munge libimage-exiftool-perl libxml2-utils
  libjs-three chromium python3
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
