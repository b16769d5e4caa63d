#!/bin/sh
# Installs what building, running and testing need on Debian 12, when it is missing.
set -e
need=""
for p in cmake g++ make pkg-config qt6-base-dev libgl-dev libmuparser-dev libgif-dev ccache \
         fonts-liberation fonts-dejavu-core desktop-file-utils appstream man-db dpkg-dev \
         poppler-utils; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || need="$need $p"
done
# Where clang is installed, CI also runs the fuzz targets: they need its libFuzzer.
if command -v clang++ >/dev/null 2>&1; then
  dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "ok installed" ||
    need="$need libclang-rt-14-dev"
fi
if [ -n "$need" ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $need
fi
