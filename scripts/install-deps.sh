#!/usr/bin/env bash
# Installs the Debian packages Korvex needs to build, run and test, when missing,
# the compiler and make included: a fresh Debian 12 needs nothing else first.
# Uses sudo when not root. Safe to run again: it only installs what is absent.
set -euo pipefail

packages=(
  build-essential make cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
  libzip-dev libpugixml-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  python3 python3-openpyxl
  xvfb xauth
  shared-mime-info desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing Debian packages: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Installing packages needs root: run this again as root, or install sudo first." >&2
    exit 1
  fi
  sudo="sudo"
fi
# Through env, so the setting also reaches apt-get when sudo resets the environment.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
