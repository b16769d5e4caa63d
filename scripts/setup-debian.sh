#!/bin/sh
# Installs what building, running and testing need on Debian 12, when it is missing.
set -e
need=""
for p in cmake g++ make pkg-config qt6-base-dev libgl-dev libmuparser-dev libgif-dev ccache \
         fonts-liberation fonts-dejavu-core; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || need="$need $p"
done
if [ -n "$need" ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $need
fi
