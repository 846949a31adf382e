#!/bin/sh
# A display that really switches modes, for the full-screen tests (Xvfb has
# one mode and refuses others): Xorg with the dummy video driver, its desktop
# at 1024x768 with 800x600 and 640x480 among its modes, and the openbox
# window manager, which minimises, activates and decorates windows.
#
#   tools/xorg-dummy.sh start FOLDER   prints the display (":N") once it is up
#   tools/xorg-dummy.sh stop FOLDER
#
# FOLDER keeps the configuration, the logs and the process ids.
set -e
folder="$2"
case "$1" in
start)
    mkdir -p "$folder"
    cat >"$folder/xorg.conf" <<'CONF'
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 28.0-80.0
    VertRefresh 48.0-75.0
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
    Modeline "800x600" 40.00 800 840 968 1056 600 601 605 628 +hsync +vsync
    Modeline "640x480" 25.175 640 656 752 800 480 490 492 525 -hsync -vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1024x768" "800x600" "640x480"
        Virtual 1024 768
    EndSubSection
EndSection
CONF
    # Xorg picks a free display number and tells it on fd 3.
    Xorg -displayfd 3 -noreset -nolisten tcp -config "$folder/xorg.conf" -logfile "$folder/xorg.log" \
        3>"$folder/display" >/dev/null 2>&1 </dev/null &
    echo $! >"$folder/xorg.pid"
    for _ in $(seq 100); do
        [ -s "$folder/display" ] && break
        sleep 0.05
    done
    [ -s "$folder/display" ] || { echo "Xorg did not start; see $folder/xorg.log" >&2; exit 1; }
    display=":$(cat "$folder/display")"
    DISPLAY="$display" openbox >"$folder/openbox.log" 2>&1 </dev/null &
    echo $! >"$folder/openbox.pid"
    # openbox is in charge once it names itself on the root window.
    for _ in $(seq 100); do
        DISPLAY="$display" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.05
    done
    echo "$display"
    ;;
stop)
    for name in openbox xorg; do
        [ -s "$folder/$name.pid" ] && kill "$(cat "$folder/$name.pid")" 2>/dev/null || true
    done
    ;;
*)
    echo "usage: tools/xorg-dummy.sh start|stop FOLDER" >&2
    exit 2
    ;;
esac
