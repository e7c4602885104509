#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian bookworm (run as root).
# Idempotent: quick when everything is already present.
set -eu
packages=(
  build-essential cmake ninja-build python3 git
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
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
# Wine runs 32-bit programs through its i386 loader. Where the kernel cannot
# start i386 executables itself, qemu's user-mode emulator starts them.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "setup.sh: i386 executables do not start natively; registering qemu-i386 for them"
  if ! dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends qemu-user-static
  fi
  mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo 1 >/proc/sys/fs/binfmt_misc/qemu-i386
  else
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      >/proc/sys/fs/binfmt_misc/register
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "setup.sh: 32-bit Wine still does not start" >&2; exit 1; }
fi
echo "setup.sh: all dependencies present"
