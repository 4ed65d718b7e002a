#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, as root.
# Safe to run again: each step checks first whether it is done.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/.deps"

packages=(
  cmake ninja-build make dpkg-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386
  googletest
  xvfb openbox x11-apps imagemagick graphviz
  python3 curl
)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

enable_source_packages() {
  local changed=0 f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    if grep -q '^Types: deb$' "$f"; then
      as_root sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
      changed=1
    fi
  done
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list &&
     ! grep -q '^deb-src ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee -a /etc/apt/sources.list >/dev/null
    changed=1
  fi
  echo $changed
}

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

fetch_source() { # package, folder name prefix
  local pkg=$1 prefix=$2
  if ! compgen -G "$deps/$prefix-*/CMakeLists.txt" >/dev/null; then
    mkdir -p "$deps"
    (cd "$deps" && apt-get source --download-only "$pkg" >/dev/null &&
      dpkg-source --no-check -x ./*"${pkg}"_*.dsc >/dev/null)
  fi
}

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  need_update=1
fi
[ "$(enable_source_packages)" = 1 ] && need_update=1
missing=$(missing_packages)
if [ -n "$missing" ] || [ "$need_update" = 1 ] || ! compgen -G "$deps/libjsoncpp-*" >/dev/null ||
   ! compgen -G "$deps/cpp-httplib-*" >/dev/null; then
  as_root apt-get update -qq
fi
if [ -n "$missing" ]; then
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $missing
fi

fetch_source libjsoncpp libjsoncpp
fetch_source cpp-httplib cpp-httplib
