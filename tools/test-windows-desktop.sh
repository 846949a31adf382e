# The Windows program as a Windows user meets it, for tools/test-windows.sh
# (which sources this file and supplies bin, work, shots, fail, snap, ...):
#   dpi      DPI awareness in the program's imports, and no manifest that
#            would drop the 16-bit modes from the dialog's list
#   box      a bad option, started as Explorer starts programs: a message
#            box, Enter closes it, exit code 2
#   unicode  the zip unpacked into "Vexarión 日本" and run from another
#            folder, with files of such names: the same trace as the plain one
#   focus    on a display that really switches modes (Xorg's dummy driver,
#            openbox): full screen in the dialog's preselected 640x480, 16bit,
#            the cursor hidden; Notepad activated: Vexarion minimised, the
#            desktop's 1024x768 back, and E held there leaves the land alone;
#            Vexarion activated: 640x480 again, and again after the mode is
#            dropped behind its back; E sinks the land, and F12 saves into a
#            pictures folder named "José 日本"
# Screenshots: 6-*.png to 9-*.png.

run_dpi() {
    if x86_64-w64-mingw32-objdump -p "$bin/vexarion.exe" | grep -q "SetProcessDPIAware"; then
        echo "ok   vexarion.exe imports SetProcessDPIAware"
    else
        fail "vexarion.exe does not declare DPI awareness"
    fi
    # A manifest naming Windows 8, 8.1 or 10 by these ids would make
    # EnumDisplaySettings list no 16-bit modes (the focus section's Start!
    # takes the preselected 640x480, 16bit).
    if grep -aqiE "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38|1f676c76-80e1-4239-95bb-83d0f6d0da78|8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a" \
        "$bin/vexarion.exe"; then
        fail "vexarion.exe declares Windows 8 or later in a manifest"
    else
        echo "ok   no manifest declares Windows 8 or later"
    fi
}

run_box() {
    null_sound
    # start /unix gives the program no console and no standard handles.
    # (set +e: the exit code 2 must reach the file, not end the subshell.)
    (set +e; cd "$bin"; wine start /wait /unix "$bin/vexarion.exe" --bogus </dev/null >/dev/null 2>&1
        echo $? >"$work/exit-box") &
    program=$!
    if box="$(find_window Vexarion 200)"; then
        sleep 0.5
        snap "$shots/6-bad-option.png"
        # A click on its text gives the box the keyboard; Enter presses its button.
        eval "$(xdotool getwindowgeometry --shell "$box")"
        xdotool mousemove $((X + WIDTH / 2)) $((Y + 10)) click 1 key Return
    else
        box=""
        fail "no message box for a bad option"
    fi
    wait_for_file "$work/exit-box" 100 || wineserver -k || true
    wait $program
    code="$(cat "$work/exit-box" 2>/dev/null)"
    if [ "$code" != 2 ]; then
        fail "bad option: exit code $code"
    elif [ -n "$box" ]; then
        echo "ok   a bad option: a message box, closed by Enter; exit code 2"
    fi
}

run_unicode() {
    no_sound
    named="$work/Vexarión 日本" plain="$work/plain" elsewhere="$work/elsewhere"
    mkdir -p "$named" "$plain" "$elsewhere"
    (cd "$named" && cmake -E tar xf "$bin/vexarion-windows.zip")
    (cd "$plain" && cmake -E tar xf "$bin/vexarion-windows.zip")
    printf '260 type L\n300 press E\n340 release E\n' >"$elsewhere/scrïpt 日本.txt"
    cp "$elsewhere/scrïpt 日本.txt" "$elsewhere/script.txt"
    cd "$elsewhere"
    wine "$plain/Vexarion/vexarion-replay.exe" --frames 400 --size 64x64 --script script.txt --trace plain.csv \
        >/dev/null 2>&1 </dev/null || fail "the replay from the plain folder"
    wine "$named/Vexarion/vexarion-replay.exe" --frames 400 --size 64x64 --script "scrïpt 日本.txt" \
        --trace "trâce 日本.csv" --shot "300=shöt 日本.png" >"$work/unicode.log" 2>&1 </dev/null ||
        fail "the replay from \"Vexarión 日本\": $(grep -av ^ALSA "$work/unicode.log")"
    if cmp -s plain.csv "trâce 日本.csv" && [ -s "shöt 日本.png" ]; then
        echo "ok   from \"Vexarión 日本\": the plain folder's trace, and the shot, by non-ASCII names"
    else
        fail "from \"Vexarión 日本\": a different trace or no shot"
    fi
    cd "$root"
}

# The screen's size as xrandr reports it ("640 x 480").
screen_size() { xrandr -q | sed -n 's/.*current \([0-9]* x [0-9]*\),.*/\1/p'; }
window_state() { xprop -id "$1" WM_STATE | sed -n 's/.*state: //p'; }

run_focus() {
    # One Wine session per display: the Xvfb one ends here, and a new one
    # starts on the dummy display.
    wineserver -k 2>/dev/null || true
    if ! DISPLAY="$(tools/xorg-dummy.sh start "$work/xorg")"; then
        fail "no Xorg with the dummy driver"
        return
    fi
    export DISPLAY
    null_sound
    pictures="$work/José 日本/Pictures"
    mkdir -p "$pictures"
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' /v 'My Pictures' \
        /t REG_EXPAND_SZ /d "Z:$(echo "$pictures" | tr / '\\')" /f >/dev/null 2>&1

    (set +e; cd "$bin"; wine vexarion.exe --trace "$work/focus.csv" </dev/null >/dev/null 2>&1
        echo $? >"$work/exit-focus") &
    program=$!
    dialog="$(find_dialog 300)" || { fail "no dialog on the dummy display"; return; }
    # openbox frames the dialog: its client area's corner, then "Start!".
    corner="$(xwininfo -id "$dialog" | sed -n 's/.*Absolute upper-left [XY]: *//p' | tr '\n' ' ')"
    set -- $corner
    xdotool mousemove $(($1 + 178 * 368 / 210)) $(($2 + 83 * 167 / 103)) click 1
    window="$(find_window Vexarion 200)" || { fail "no main window on the dummy display"; return; }
    shown=$(date +%s)
    sleep 1
    xdotool mousemove 320 240
    echo "full screen: screen $(screen_size), cursor $(tools/x11-cursor.py)"
    [ "$(screen_size)" = "640 x 480" ] || fail "Start! did not switch to the preselected 640x480"
    [ "$(tools/x11-cursor.py)" = hidden ] || fail "the cursor shows over the full-screen window"
    snap "$shots/7-focus-full-screen.png"

    wine notepad </dev/null >/dev/null 2>&1 &
    notepad=""
    for _ in $(seq 100); do
        notepad="$(xdotool search --onlyvisible --name 'Notepad$' 2>/dev/null | head -1)"
        [ -n "$notepad" ] && break
        sleep 0.1
    done
    xdotool windowactivate --sync "$notepad"
    sleep 1
    echo "Notepad in front: screen $(screen_size), Vexarion $(window_state "$window")"
    [ "$(screen_size)" = "1024 x 768" ] || fail "the desktop's mode did not come back"
    [ "$(window_state "$window")" = Iconic ] || fail "Vexarion was not minimised"
    snap "$shots/8-focus-notepad.png"
    xdotool keydown e
    sleep 1
    xdotool keyup e

    xdotool windowactivate --sync "$window"
    sleep 1
    echo "Vexarion in front again: screen $(screen_size), Vexarion $(window_state "$window")"
    [ "$(screen_size)" = "640 x 480" ] || fail "the mode did not come back with Vexarion"
    [ "$(window_state "$window")" = Normal ] || fail "Vexarion was not restored"
    snap "$shots/9-focus-back.png"
    # As after a secure desktop: the mode dropped while Vexarion stays in front.
    wine "$bin/drop-display-mode.exe" </dev/null >/dev/null 2>&1 || fail "the display mode could not be dropped"
    sleep 1
    echo "mode dropped behind its back: screen $(screen_size)"
    [ "$(screen_size)" = "640 x 480" ] || fail "the mode did not come back after WM_DISPLAYCHANGE"
    # Past the intro, L marks the moment in the trace; then E held here.
    sleep $((5 - ($(date +%s) - shown) > 0 ? 5 - ($(date +%s) - shown) : 0))
    xdotool type L
    xdotool keydown e
    sleep 1
    xdotool keyup e
    xdotool key F12
    sleep 1
    xdotool key Escape
    wait_for_file "$work/exit-focus" 150 || wineserver -k || true
    wait $program
    [ "$(cat "$work/exit-focus" 2>/dev/null)" = 0 ] || fail "Esc: exit code $(cat "$work/exit-focus" 2>/dev/null)"
    [ "$(screen_size)" = "1024 x 768" ] || fail "the desktop's mode is not back after Esc"

    # The land (column 16) stays put until the thunder (the L); E then sinks it.
    awk -F, 'NR > 1 { if ($25 ~ /thunder/) struck = 1; if (!struck && $16 != 0) early = 1; land = $16 }
        END { print "trace: land " (early ? "moved" : "unmoved") " before L, " land " at the end"
              exit !(struck && !early && land < -2) }' "$work/focus.csv" ||
        fail "E held in Notepad reached the scene, or E in Vexarion did not"
    shot="$(ls "$pictures"/vexarion-*.png 2>/dev/null | head -1)"
    [ -n "$shot" ] && greater "$(brightness "$shot")" 8 || fail "F12 saved no picture in \"José 日本\""
    wineserver -k 2>/dev/null || true
    tools/xorg-dummy.sh stop "$work/xorg"
}
