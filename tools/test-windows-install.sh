# The installer and the screen saver under Wine, for tools/test-windows.sh
# (which sources this file and supplies bin, work, shots, fail, snap, ...):
#   installer  vexarion-setup.exe /S /SCREENSAVER: the files, the Start-menu
#            shortcut (its target read from the .lnk), the Add/Remove
#            Programs values and SCRNSAVE.EXE; the installed replay gives the
#            zip's trace; the shortcut starts the program, and setup /S
#            refuses (exit 3, nothing touched) while it shows its dialog or
#            its scene; a /D= folder under a file and a disk that fills up on
#            the way are refused and leave the install whole; an older
#            version (its DisplayVersion, a file and the size faked) is
#            upgraded in place, a file the player put there kept;
#            Uninstall.exe /S leaves only %APPDATA%\Vexarion (the file tree
#            and HKCU as before the install); /D= and /REMOVESETTINGS take
#            the settings too and leave another screen saver's SCRNSAVE.EXE;
#            the installer's pages, Enter on each; a second setup while the
#            program Finish started runs: its box, and Retry once it is
#            closed goes on; and its message for a folder it can't use
#   saver    vexarion.scr with a damaged settings file: /s fills the screen
#            with the scene, the cursor hidden, a mouse movement of 2 pixels
#            goes by and one of 40 ends it with exit code 0, not a word said
#            and the file left alone; /c shows its dialog, a click changes
#            the reduced flash and the pace, OK writes them, and /c again
#            shows them chosen (OK again writes the same file); /p HWND in a
#            window of preview-host.exe: a child of that window, of its size,
#            until the window goes, then exit code 0
# Screenshots: 20-*.png to 29-*.png.

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vexarion'
desktop_key='HKCU\Control Panel\Desktop'

# The Windows folders of the prefix's user, as Unix paths and as Windows ones.
install_folders() {
    users="$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -1)"
    user="$(basename "$users")"
    instdir="$users/AppData/Local/Programs/Vexarion"
    wininstdir="C:\\users\\$user\\AppData\\Local\\Programs\\Vexarion"
    startmenu="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
    appdata="$users/AppData/Roaming/Vexarion"
}

# `wine reg query` of one key or value: "Name=Value" lines, or nothing.
reg_values() {
    wine reg query "$@" 2>/dev/null </dev/null | tr -d '\r' |
        sed -n 's/^    \([^ ].*\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p'
}

# The user's files and registry, for telling what an install left.
snapshot() {
    (cd "$WINEPREFIX/drive_c" && find users Games -mindepth 1 2>/dev/null | grep -v '/Temp' | sort) >"$work/$1.tree"
    wine reg export HKCU 'C:\hkcu.reg' /y >/dev/null 2>&1 </dev/null || true
    # Less Wine's own keys (its sound devices, its menu entries) and the
    # Uninstall key itself, which every Windows has.
    iconv -f UTF-16 -t UTF-8 "$WINEPREFIX/drive_c/hkcu.reg" | tr -d '\r' |
        awk '/^\[/ { skip = index($0, "\\Software\\Wine") || $0 ~ /CurrentVersion\\Uninstall\]$/ } !skip' >"$work/$1.reg"
}

# The target, working folder, arguments and icon of a .lnk file.
read_shortcut() {
    /usr/bin/python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
at = 0x4C
if flags & 0x01:  # an item id list
    at += 2 + struct.unpack_from("<H", data, at)[0]
target = ""
if flags & 0x02:  # link info with the local path
    size, header, info_flags, _, base = struct.unpack_from("<IIIII", data, at)
    if info_flags & 1:
        target = data[at + base:data.index(b"\0", at + base)].decode("latin-1")
    at += size
wide = flags & 0x80
names = [(0x04, "name"), (0x08, "relative"), (0x10, "folder"), (0x20, "arguments"), (0x40, "icon")]
found = {"target": target}
for bit, name in names:
    if flags & bit:
        count = struct.unpack_from("<H", data, at)[0]
        width = 2 if wide else 1
        raw = data[at + 2:at + 2 + count * width]
        found[name] = raw.decode("utf-16-le" if wide else "latin-1")
        at += 2 + count * width
for key in ("target", "folder", "arguments", "icon"):
    print("%s=%s" % (key, found.get(key, "")))
EOF
}

# Waits up to $2 tenths of a second for the Unix path $1 to go.
wait_gone() {
    for _ in $(seq "$2"); do
        [ -e "$1" ] || return 0
        sleep 0.1
    done
    return 1
}

# The install folder holds exactly the package's files, byte for byte, and
# the uninstaller (and $2, a file of the player's, if given).
same_as_package() {
    said="$(diff -r "$bin/package/Vexarion" "$1" 2>&1 | grep -v "^Only in $1: Uninstall.exe\$" |
        grep -v "^Only in $1: ${2:-none}\$")"
    [ -z "$said" ] || { echo "$said" | head -5; return 1; }
}

run_installer() {
    null_sound
    install_folders
    setup="$bin/vexarion-setup.exe"
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$bin/CMakeCache.txt")"
    # The player's settings, there before and after.
    mkdir -p "$appdata"
    [ -s "$appdata/settings.ini" ] || printf 'vsync=off\n' >"$appdata/settings.ini"
    snapshot before

    # A silent install, with the screen saver.
    wine "$setup" /S /SCREENSAVER </dev/null >/dev/null 2>&1 || fail "setup /S: exit code $?"
    same_as_package "$instdir" && echo "ok   installed in ${instdir#"$users"/}: the package's $(ls "$bin/package/Vexarion" | wc -l) files and Uninstall.exe" ||
        fail "the install folder is not the package"
    if [ -f "$startmenu/Vexarion.lnk" ]; then
        read_shortcut "$startmenu/Vexarion.lnk" >"$work/shortcut.txt"
        printf 'Start menu\\Programs\\Vexarion.lnk: %s\n' "$(tr '\n' ' ' <"$work/shortcut.txt")"
        grep -qxF "target=$wininstdir\\vexarion.exe" "$work/shortcut.txt" &&
            grep -qxF "folder=$wininstdir" "$work/shortcut.txt" ||
            fail "the shortcut does not start vexarion.exe in its folder"
    else
        fail "no Vexarion.lnk in the Start menu"
    fi
    reg_values "$uninstall_key" >"$work/uninstall.txt"
    size="$(du -sk --apparent-size "$instdir" | cut -f1)"
    estimated="$(sed -n 's/^EstimatedSize=//p' "$work/uninstall.txt")"
    printf 'uninstall entry: %s\n' "$(tr '\n' ';' <"$work/uninstall.txt")"
    for pair in "DisplayName=Vexarion" "DisplayVersion=$version" "Publisher=The Vexarion developers" \
        "DisplayIcon=$wininstdir\\vexarion.exe,0" "UninstallString=\"$wininstdir\\Uninstall.exe\"" \
        "QuietUninstallString=\"$wininstdir\\Uninstall.exe\" /S" "NoModify=0x1" "NoRepair=0x1"; do
        grep -qxF "$pair" "$work/uninstall.txt" || fail "uninstall entry: no $pair"
    done
    # Within a tenth of what the folder takes on the disk.
    awk -v e="$((estimated))" -v s="$size" 'BEGIN { exit !(e > s * 0.9 && e < s * 1.1) }' ||
        fail "EstimatedSize $estimated KB, the folder $size KB"
    [ "$(reg_values "$desktop_key" /v SCRNSAVE.EXE)" = "SCRNSAVE.EXE=$wininstdir\\vexarion.scr" ] ||
        fail "SCRNSAVE.EXE does not name the installed screen saver"

    # The installed replay and the zip's: one trace.
    story="$root/tests/stories/intro.txt"
    cp "$story" "$work/installed.script"
    # shellcheck disable=SC2046
    (cd "$bin/package/Vexarion" && wine ./vexarion-replay.exe $(story_options "$story") --size 64x64 \
        --script "$work/installed.script" --trace "$work/zip.csv" </dev/null >/dev/null 2>&1) || fail "the zip's replay"
    # shellcheck disable=SC2046
    (cd "$work" && wine "$instdir/vexarion-replay.exe" $(story_options "$story") --size 64x64 \
        --script "$work/installed.script" --trace "$work/installed.csv" </dev/null >/dev/null 2>&1) ||
        fail "the installed replay"
    if said="$(tools/same-trace.sh "$work/zip.csv" "$work/installed.csv")"; then
        echo "ok   the installed replay gives the zip's trace of intro.txt: $said"
    else
        fail "the installed replay's trace: $said"
    fi

    # The shortcut starts the program; while it runs, setup refuses.
    (wine start /wait "$(printf '%s' "$startmenu/Vexarion.lnk" | sed "s|^$WINEPREFIX/drive_c|C:|; s|/|\\\\|g")" \
        </dev/null >/dev/null 2>&1
    echo $? >"$work/exit-shortcut") &
    program=$!
    if dialog="$(find_dialog 200)"; then
        snap "$shots/20-shortcut-dialog.png"
        code=0
        wine "$setup" /S </dev/null >/dev/null 2>&1 || code=$?
        [ "$code" = 3 ] && same_as_package "$instdir" && echo "ok   setup /S while the dialog shows: exit code 3, the install untouched" ||
            fail "setup /S while the dialog shows: exit code $code"
        click_dialog "$dialog" 178 83
        if window="$(find_window Vexarion 200)"; then
            sleep 2
            snap "$shots/21-shortcut-scene.png"
            greater "$(brightness "$shots/21-shortcut-scene.png")" 15 || fail "the shortcut's program shows no scene"
            code=0
            wine "$setup" /S </dev/null >/dev/null 2>&1 || code=$?
            [ "$code" = 3 ] && same_as_package "$instdir" && echo "ok   setup /S while the scene runs: exit code 3, the install untouched" ||
                fail "setup /S while the scene runs: exit code $code"
            xdotool windowfocus --sync "$window" 2>/dev/null || true
            xdotool key Escape
        else
            fail "no scene after Start! in the shortcut's program"
        fi
    else
        fail "the shortcut opened no dialog"
    fi
    wait_for_file "$work/exit-shortcut" 100 || fail "the shortcut's program did not end on Esc"
    stop_program vexarion.exe
    wait $program || true

    # Folders and disks that can't take the files.
    printf 'a file\n' >"$WINEPREFIX/drive_c/blocker"
    code=0
    wine "$setup" /S '/D=C:\blocker\Vexarion' </dev/null >/dev/null 2>&1 || code=$?
    [ "$code" = 4 ] && [ ! -d "$WINEPREFIX/drive_c/blocker" ] || fail "/D= under a file: exit code $code"
    # A disk that fills up on the way: no file may grow beyond 200 KB.
    full=0
    sh -c 'trap "" XFSZ; ulimit -f 400; exec wine "$1" /S' - "$setup" </dev/null >/dev/null 2>&1 || full=$?
    # What it wrote on the way is in Setup.tmp, which the next setup (below)
    # or the uninstaller clears.
    if [ "$full" != 0 ] && same_as_package "$instdir" Setup.tmp; then
        echo "ok   /D= under a file: exit code $code; a full disk: exit code $full; the install untouched"
    else
        fail "a full disk: exit code $full, and the install changed"
    fi

    # An older version: its version, size and one file faked, a file of the
    # player's beside them. Setup replaces the files in place.
    wine reg add "$uninstall_key" /v DisplayVersion /d 0.9.0 /f >/dev/null 2>&1 </dev/null || fail "reg add"
    printf 'old\n' >"$instdir/MAN.KMO"
    printf 'mine\n' >"$instdir/my-notes.txt"
    wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the upgrade: exit code $?"
    if same_as_package "$instdir" my-notes.txt && [ "$(reg_values "$uninstall_key" /v DisplayVersion)" = "DisplayVersion=$version" ] &&
        [ "$(reg_values "$desktop_key" /v SCRNSAVE.EXE)" = "SCRNSAVE.EXE=$wininstdir\\vexarion.scr" ] &&
        [ ! -e "$instdir/Setup.tmp" ]; then
        echo "ok   0.9.0 upgraded in place to $version: the files replaced, the player's file kept, the screen saver still chosen"
    else
        fail "the upgrade over 0.9.0"
    fi

    # Uninstall: only the player's settings (and the player's file) stay.
    cp "$appdata/settings.ini" "$work/settings.kept"
    wine "$instdir/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "Uninstall.exe /S: exit code $?"
    wait_gone "$instdir/Uninstall.exe" 100 || fail "Uninstall.exe is still there"
    left="$(ls -A "$instdir" 2>/dev/null | tr '\n' ' ')"
    [ "$left" = "my-notes.txt " ] || fail "the install folder holds '$left' after the uninstall"
    # The player's file kept the install folder, and the Programs folder
    # the install made; without it they go.
    rm -f "$instdir/my-notes.txt"
    rmdir "$instdir" "$(dirname "$instdir")" 2>/dev/null || true
    cmp -s "$appdata/settings.ini" "$work/settings.kept" || fail "the uninstall touched the settings"
    snapshot after
    if diff "$work/before.tree" "$work/after.tree" >"$work/tree.diff" && diff "$work/before.reg" "$work/after.reg" >"$work/reg.diff"; then
        echo "ok   uninstalled: the files ($(wc -l <"$work/after.tree") paths) and HKCU ($(wc -l <"$work/after.reg") lines) as before, the settings kept"
    else
        fail "the uninstall left: $(head -20 "$work/tree.diff" "$work/reg.diff" | tr '\n' ' ')"
    fi

    # /D=, and /REMOVESETTINGS, while another screen saver is chosen.
    wine "$setup" /S /SCREENSAVER '/D=C:\Games\Vexarion' </dev/null >/dev/null 2>&1 || fail "setup /D=: exit code $?"
    games="$WINEPREFIX/drive_c/Games/Vexarion"
    same_as_package "$games" && [ "$(reg_values "$uninstall_key" /v InstallLocation)" = 'InstallLocation=C:\Games\Vexarion' ] ||
        fail "/D=C:\\Games\\Vexarion did not install there"
    wine reg add "$desktop_key" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1 </dev/null || fail "reg add"
    wine "$games/Uninstall.exe" /S /REMOVESETTINGS </dev/null >/dev/null 2>&1 || fail "Uninstall.exe /S /REMOVESETTINGS: exit code $?"
    wait_gone "$games" 100 || fail "C:\\Games\\Vexarion is still there"
    if [ ! -e "$appdata" ] && [ "$(reg_values "$desktop_key" /v SCRNSAVE.EXE)" = 'SCRNSAVE.EXE=C:\windows\system32\other.scr' ] &&
        [ -z "$(reg_values "$uninstall_key")" ]; then
        echo "ok   /D=C:\\Games\\Vexarion installed there; /REMOVESETTINGS took the settings, another screen saver stayed chosen"
    else
        fail "/REMOVESETTINGS: the settings $([ -e "$appdata" ] && echo stayed || echo went), $(reg_values "$desktop_key" /v SCRNSAVE.EXE)"
    fi
    wine reg delete "$desktop_key" /v SCRNSAVE.EXE /f >/dev/null 2>&1 </dev/null || true
    mkdir -p "$appdata"
    cp "$work/settings.kept" "$appdata/settings.ini"

    installer_pages
}

# The installer as a player meets it: each page, Enter for Next, Install and
# Finish (which starts the program: its dialog is closed again); and its
# message for a folder it can't use.
installer_pages() {
    (wine "$bin/vexarion-setup.exe" </dev/null >/dev/null 2>&1; echo $? >"$work/exit-pages") &
    pages=$!
    if window="$(find_window "Vexarion Setup" 200)"; then
        eval "$(xdotool getwindowgeometry --shell "$window")"
        xdotool mousemove $((X + 20)) $((Y + HEIGHT - 20)) click 1
        for page in welcome components folder installing finish; do
            sleep 0.8
            [ "$page" = installing ] && wait_for_file "$instdir/Uninstall.exe" 100 && sleep 0.5
            snap "$shots/22-setup-$page.png"
            xdotool key Return
        done
        wait_for_file "$work/exit-pages" 100 || true
        [ "$(cat "$work/exit-pages" 2>/dev/null)" = 0 ] || fail "the installer's pages: exit code $(cat "$work/exit-pages" 2>/dev/null)"
        same_as_package "$instdir" || fail "the installer's pages did not install"
        if find_dialog 200 >/dev/null; then
            echo "ok   the installer's pages, Finish started the program"
            stop_program vexarion.exe
            setup_while_running
        else
            fail "Finish did not start the program"
        fi
    else
        fail "the installer showed no window"
    fi
    stop_program vexarion-setup.exe
    wait $pages || true
    wine "$instdir/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "Uninstall.exe /S after the pages"
    wait_gone "$instdir" 100 || fail "the uninstall after the pages left the folder"

    (wine "$bin/vexarion-setup.exe" '/D=C:\blocker\Vexarion' </dev/null >/dev/null 2>&1; echo $? >"$work/exit-blocked") &
    pages=$!
    if find_window "Vexarion Setup" 200 >/dev/null; then
        sleep 0.5
        snap "$shots/23-setup-cannot-write.png"
        echo "ok   a folder under a file, with pages: the message (its exit code, 4, is checked silently above)"
    else
        fail "no message for a folder under a file"
    fi
    # Without a window manager the box takes no click or key here.
    stop_program vexarion-setup.exe
    wait $pages || true
    rm -f "$WINEPREFIX/drive_c/blocker"
}

# A second install, with its pages, while a program of the install runs
# (the replay, whose window never shows, so the keys stay with setup):
# Install on the folder page brings the box that says so, and Retry once the
# program has ended goes on to the end (the box's first button, the one
# Return presses).
setup_while_running() {
    (cd "$instdir" && wine vexarion-replay.exe --frames 1000000 --size 64x64 </dev/null >/dev/null 2>&1) &
    replay=$!
    sleep 2
    (wine "$bin/vexarion-setup.exe" </dev/null >/dev/null 2>&1; echo $? >"$work/exit-running") &
    running=$!
    box=""
    if main="$(find_window "Vexarion Setup" 200)"; then
        eval "$(xdotool getwindowgeometry --shell "$main")"
        xdotool mousemove $((X + 20)) $((Y + HEIGHT - 20)) click 1
        for _ in welcome components folder; do
            sleep 0.8
            xdotool key Return
        done
        for _ in $(seq 50); do
            sleep 0.2
            box="$(setup_box)" && break
        done
    fi
    if [ -n "$box" ]; then
        sleep 0.5
        snap "$shots/22-setup-running.png"
        eval "$(xdotool getwindowgeometry --shell "$box")"
        boxed="$WIDTH x $HEIGHT"
        stop_program vexarion-replay.exe
        # Wine gives the box no keyboard focus without a window manager:
        # clicks on Retry, left of the middle in the box's last row, until
        # the box is gone (here the first click has left it up).
        sleep 1
        presses=0
        while [ $presses -lt 4 ] && setup_box >/dev/null; do
            xdotool mousemove $((X + WIDTH / 2 - 50)) $((Y + HEIGHT - 25)) sleep 0.2 mousedown 1 sleep 0.2 mouseup 1
            presses=$((presses + 1))
            sleep 1.5
        done
        wait_for_file "$instdir/Uninstall.exe" 100 || true
        sleep 1.5
        snap "$shots/22-setup-retried.png"
        if [ ! -s "$work/exit-running" ] && ! setup_box >/dev/null && same_as_package "$instdir"; then
            echo "ok   setup with its pages while the program runs: the box ($boxed) says so, Retry ($presses clicks) installs on"
        else
            fail "setup while the program runs: Retry did not go on (exit code $(cat "$work/exit-running" 2>/dev/null))"
        fi
    else
        snap "$shots/22-setup-running.png"
        fail "setup while the program runs showed no box"
        stop_program vexarion-replay.exe
    fi
    stop_program vexarion-setup.exe
    wait $running $replay || true
}

# The visible message box of setup: a window of its name, smaller than its pages.
setup_box() {
    for id in $(xdotool search --onlyvisible --name '^Vexarion Setup$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        [ "$HEIGHT" -lt 200 ] && { echo "$id"; return 0; }
    done
    return 1
}

# Ends what is left of a program started by a test that failed on the way.
stop_program() {
    wine taskkill /f /im "$1" >/dev/null 2>&1 </dev/null || true
    sleep 0.3
}

# The visible window of vexarion.scr named $1.
find_saver_window() {
    for _ in $(seq "$2"); do
        for id in $(xdotool search --onlyvisible --class vexarion.scr 2>/dev/null); do
            [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# What a program wrote, less Wine's own words about its 32-bit half; false
# for nothing.
said_by() {
    tr -d '\r' <"$1" | grep -v -e wine32 -e multiarch -e 'dpkg --add-architecture' -e '^$' | grep .
}

# Clicks the saver's dialog at a point in dialog units: 180 x 90 of them.
click_saver_dialog() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2 * WIDTH / 180)) $((Y + $3 * HEIGHT / 90)) click 1
}

run_saver() {
    null_sound
    install_folders
    mkdir -p "$appdata"
    [ -f "$appdata/settings.ini" ] && cp "$appdata/settings.ini" "$work/settings.before-saver"
    # Damaged lines, a control byte and an unfinished last line.
    printf 'vsync=maybe\nattract_pause=soon\n\001\002\nreduced_flash' >"$appdata/settings.ini"
    cp "$appdata/settings.ini" "$work/damaged.ini"

    xdotool mousemove 320 240
    (cd "$bin" && wine vexarion.scr /s </dev/null >"$work/saver-s.out" 2>&1; echo $? >"$work/exit-s") &
    saver=$!
    if window="$(find_saver_window Vexarion 300)"; then
        sleep 2
        snap "$shots/24-saver.png"
        eval "$(xdotool getwindowgeometry --shell "$window")"
        cursor="$(tools/x11-cursor.py)"
        echo "vexarion.scr /s: ($X, $Y) $WIDTH x $HEIGHT, screen $(xdotool getdisplaygeometry), cursor $cursor, brightness $(brightness "$shots/24-saver.png")"
        [ "$X $Y $WIDTH $HEIGHT" = "0 0 640 480" ] && [ "$(xdotool getdisplaygeometry)" = "640 480" ] ||
            fail "/s does not fill the screen in its own mode"
        greater "$(brightness "$shots/24-saver.png")" 15 || fail "/s shows no scene"
        [ "$cursor" = hidden ] || fail "the cursor shows over the screen saver"
        xdotool mousemove 322 241
        sleep 0.6
        [ -s "$work/exit-s" ] && fail "a movement of 2 pixels ended the screen saver"
        xdotool mousemove 360 270
        wait_for_file "$work/exit-s" 50 || fail "a movement of 40 pixels did not end the screen saver"
    else
        fail "/s showed no window"
    fi
    [ -s "$work/exit-s" ] || wine taskkill /f /im vexarion.scr >/dev/null 2>&1 </dev/null || true
    wait $saver || true
    [ "$(cat "$work/exit-s" 2>/dev/null)" = 0 ] || fail "/s: exit code $(cat "$work/exit-s" 2>/dev/null)"
    said_by "$work/saver-s.out" && fail "/s said: $(said_by "$work/saver-s.out" | tr '\n' ' ')"
    cmp -s "$appdata/settings.ini" "$work/damaged.ini" || fail "/s wrote the settings"

    # The settings dialog: the reduced flash ticked and "Seldom" chosen.
    (cd "$bin" && wine vexarion.scr /c </dev/null >"$work/saver-c.out" 2>&1; echo $? >"$work/exit-c") &
    saver=$!
    if dialog="$(find_saver_window "Vexarion screen saver" 200)"; then
        sleep 0.5
        snap "$shots/25-saver-settings.png"
        click_saver_dialog "$dialog" 20 16            # Reduced flash
        click_saver_dialog "$dialog" 130 49           # the pace's list
        sleep 0.3
        xdotool key End Return                        # Seldom
        sleep 0.3
        snap "$shots/26-saver-settings-changed.png"
        click_saver_dialog "$dialog" 89 75            # OK
    else
        fail "/c showed no dialog"
    fi
    wait_for_file "$work/exit-c" 50 || wine taskkill /im vexarion.scr >/dev/null 2>&1 </dev/null || true
    wait $saver || true
    [ "$(cat "$work/exit-c" 2>/dev/null)" = 0 ] || fail "/c: exit code $(cat "$work/exit-c" 2>/dev/null)"
    said_by "$work/saver-c.out" && fail "/c said: $(said_by "$work/saver-c.out" | tr '\n' ' ')"
    tr -d '\r' <"$appdata/settings.ini" >"$work/chosen.ini"
    grep -qx 'reduced_flash=on' "$work/chosen.ini" && grep -qx 'attract_pause=14' "$work/chosen.ini" &&
        grep -qx 'saver_sound=off' "$work/chosen.ini" ||
        fail "OK wrote: $(tr '\n' ' ' <"$work/chosen.ini")"

    # Again: the dialog shows what was chosen, so OK writes the same file.
    (cd "$bin" && wine vexarion.scr /c </dev/null >/dev/null 2>&1; echo $? >"$work/exit-c2") &
    saver=$!
    if dialog="$(find_saver_window "Vexarion screen saver" 200)"; then
        sleep 0.5
        snap "$shots/27-saver-settings-again.png"
        click_saver_dialog "$dialog" 89 75
    else
        fail "/c showed no dialog the second time"
    fi
    wait_for_file "$work/exit-c2" 50 || wine taskkill /im vexarion.scr >/dev/null 2>&1 </dev/null || true
    wait $saver || true
    if tr -d '\r' <"$appdata/settings.ini" | cmp -s - "$work/chosen.ini"; then
        echo "ok   /c: $(grep -E '^(reduced_flash|saver_sound|attract_pause)=' "$work/chosen.ini" | tr '\n' ' ')saved, and shown again"
    else
        fail "/c again changed the settings: $(tr -d '\r' <"$appdata/settings.ini" | tr '\n' ' ')"
    fi

    # The preview, in a window of another program's.
    (cd "$bin" && wine ./preview-host.exe 5 </dev/null >"$work/host.out" 2>/dev/null; echo $? >"$work/exit-host") &
    host=$!
    wait_for_file "$work/host.out" 100 || true
    hwnd="$(head -1 "$work/host.out" | tr -d '\r')"
    (cd "$bin" && wine vexarion.scr /p "$hwnd" </dev/null >"$work/saver-p.out" 2>&1; echo $? >"$work/exit-p") &
    saver=$!
    sleep 3
    snap "$shots/28-saver-preview.png"
    [ -s "$work/exit-p" ] && fail "/p $hwnd ended while its window was there"
    wait $host || true
    wait_for_file "$work/exit-p" 30 || wine taskkill /f /im vexarion.scr >/dev/null 2>&1 </dev/null || true
    wait $saver || true
    child="$(sed -n 2p "$work/host.out" | tr -d '\r')"
    if [ "$(cat "$work/exit-p" 2>/dev/null)" = 0 ] && [ "$child" = "child GLDEMO 240x180 another process" ]; then
        echo "ok   /p $hwnd: its window's child, 240 x 180, until the window went; exit code 0"
    else
        fail "/p $hwnd: exit code $(cat "$work/exit-p" 2>/dev/null), the window's child: $child"
    fi
    if [ -f "$work/settings.before-saver" ]; then
        cp "$work/settings.before-saver" "$appdata/settings.ini"
    else
        rm -f "$appdata/settings.ini"
    fi
}
