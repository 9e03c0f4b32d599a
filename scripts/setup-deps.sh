#!/usr/bin/env bash
# Installs everything the build, the tests and the tools use (Debian 12).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev \
  qt6-base-dev qt6-svg-dev libgl-dev libzip-dev libpugixml-dev libgtest-dev libgmock-dev \
  fonts-liberation2 fonts-crosextra-carlito fonts-crosextra-caladea fonts-dejavu-core \
  poppler-utils python3-openpyxl zip unzip time emf2svg librsvg2-bin \
  desktop-file-utils appstream \
  libreoffice-calc-nogui libreoffice-impress-nogui libreoffice-draw-nogui >/dev/null
