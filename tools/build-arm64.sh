#!/bin/sh
# Cross-builds the null replay for Linux on ARM64 (aarch64) with Debian's
# g++-aarch64-linux-gnu: vexarion-replay on the null backend, which links no
# SDL, OpenAL or OpenGL, linked statically so that qemu-aarch64 runs it
# without the target's libraries. Installs the cross compiler and qemu-user
# if either is missing. ARM64 has a fused multiply-add, so its traces show
# whether the compiler kept every a*b+c as two roundings (tools/test-arm64.sh).
#
#   tools/build-arm64.sh      writes build-arm64/vexarion-replay
#
# The content it replays is the native build's (build/), the same files.
set -e
cd "$(dirname "$0")/.."
if ! command -v aarch64-linux-gnu-g++ >/dev/null 2>&1 || ! command -v qemu-aarch64 >/dev/null 2>&1; then
    if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends g++-aarch64-linux-gnu qemu-user
fi
jobs="$(nproc)"

cmake -S . -B build-arm64 -DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR=aarch64 \
    -DCMAKE_C_COMPILER=aarch64-linux-gnu-gcc -DCMAKE_CXX_COMPILER=aarch64-linux-gnu-g++ \
    -DCMAKE_EXE_LINKER_FLAGS=-static -DCMAKE_BUILD_TYPE=Release -DVEXARION_WERROR=ON -DVEXARION_PLATFORM=null \
    >/dev/null
cmake --build build-arm64 -j"$jobs" --target vexarion-replay
echo "Built build-arm64/vexarion-replay ($(file -b build-arm64/vexarion-replay | cut -d, -f1-2))"
