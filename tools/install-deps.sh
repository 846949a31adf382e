#!/bin/sh
# Installs the Debian packages Vexarion builds, runs and tests with, when
# any of them is missing. Safe to run again: it does nothing when all are there.
set -e

# The last line is a real sound server for the sound's recovery test
# (PulseAudio with parec to listen on it); the one before it the ARM64 cross
# build and its emulator; the one before
# it the browser build and its test (Emscripten, Chromium); the one before
# that the screen savers' (the X screen saver extension, XScreenSaver to run
# the hack, procps for pgrep, NSIS for the Windows installer and icoutils to
# read back the Windows resources); the one before that the display that
# really switches modes, for the full-screen tests (Xorg's dummy driver,
# openbox, xrandr, and Python for the cursor check); the two before that are
# what Wine only recommends but the Windows proof needs: its own fonts for
# the dialog, Mesa's drivers for WGL, and the X extensions it draws with.
PACKAGES="cmake g++ make pkg-config libsdl2-dev libopenal-dev libimgui-dev libstb-dev
libgl-dev libglu1-mesa-dev libx11-dev libgtest-dev googletest
xvfb xauth xdotool x11-utils imagemagick sox dpkg-dev file clang-format appstream
clang libclang-rt-14-dev libosmesa6-dev
g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64
fonts-wine libgl1-mesa-dri libasound2-plugins libxrandr2 libxrender1 libxi6
libxcursor1 libxcomposite1 libxinerama1 libxxf86vm1 libxfixes3
xserver-xorg-core xserver-xorg-video-dummy openbox x11-xserver-utils python3
libxss-dev xscreensaver nsis icoutils procps
emscripten chromium
g++-aarch64-linux-gnu qemu-user
pulseaudio pulseaudio-utils"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
# The browser test drives Chromium from node; a node of the machine's own will do.
command -v npm >/dev/null 2>&1 || missing="$missing nodejs npm"
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
