#!/bin/sh
# Rebuilds the demo's Windows programs with mingw-w64; the results are kept
# in bin/ and common/ so that the demo packs without a cross compiler.
set -eu
cd "$(dirname "$0")/.."
cc=i686-w64-mingw32-gcc
flags="-Os -s -static -Wall"
$cc $flags -mwindows -o bin/demo.exe src/demo.c
$cc $flags -shared -DDEMO_LIBRARY_NAME='"demo-helper.dll"' -o bin/demo-helper.dll src/helper.c
mkdir -p common
$cc $flags -shared -DDEMO_LIBRARY_NAME='"orvanta-demo-common.dll"' -o common/orvanta-demo-common.dll src/helper.c
