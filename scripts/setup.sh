#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian bookworm (run as root).
# Idempotent: quick when everything is already present.
set -eu
packages=(
  build-essential cmake ninja-build python3 git
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick
  googletest libbenchmark-dev libtomlplusplus-dev zlib1g-dev
  clang libclang-rt-14-dev llvm
)
if [ "$(id -u)" != 0 ]; then echo "setup.sh: run as root" >&2; exit 1; fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup.sh: installing ${missing[*]}"
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
elif [ "${need_update:-0}" = 1 ]; then
  apt-get update -q
fi
echo "setup.sh: all dependencies present"
