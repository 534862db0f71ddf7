#!/usr/bin/env bash
# Installs, from Debian's packages, everything Quorvane needs to build, test,
# fuzz and benchmark. Packages already present are left alone, so a second run
# does nothing and returns at once.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev fonts-dejavu-core
  libjpeg62-turbo-dev
  libgtest-dev libgmock-dev
  libbenchmark-dev libpixman-1-dev python3 python3-pil
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
