#!/bin/sh
# The Windows build, proven under Wine: builds the zip and the Windows unit
# tests (tools/build-windows.sh), then runs on a private Xvfb, in a private
# Wine prefix and home:
#   units   every Windows test executable (GL ones on WGL, sound on DirectSound)
#   traces  vexarion-replay.exe on the scene stories of tests/stories/
#           against the Linux replay's traces of the same scripts
#           (build/vexarion-replay-null), byte for byte
#   program vexarion.exe driven with xdotool: the dialog, Start!, the window
#           of the mode's size at (0, 0), the intro, L's flash and thunder in
#           the mix of an ALSA file device, Esc with exit code 0; then the
#           dialog closed instead: exit code 0, no window
#   record  vexarion.exe --window 320x240 --record --trace, driven with
#           xdotool (L, t, E held, T, Esc): its recording replayed on Linux
#           gives its trace byte for byte (both kept in build-windows/live/,
#           where the browser's test replays the recording too)
#   damage  the damaged-content set through vexarion-replay.exe, without a
#           sound device: no crash, exit code 0; once with its trace and a
#           shot on /dev/full: each told by name, exit code 1
#   unwritable  vexarion.exe --window with its trace on /dev/full, its
#           recording past the file size limit, and its settings and
#           Pictures folders read-only: each told once by name, the scene
#           plays on, exit code 1, the old settings whole, the recording
#           cut to its last whole frame and replayed on Linux
#   desktop vexarion.exe --window 320x240: the program's icon, Alt+Return to
#           full screen and back, Esc with exit code 0, and the settings it
#           leaves in %APPDATA%\Vexarion
#   resources  read back from the built files: the program's icon as the
#           first icon group of vexarion.exe, vexarion-replay.exe,
#           vexarion.scr and vexarion-setup.exe, and their version, CMake's
#   installer, saver  vexarion-setup.exe and vexarion.scr: see
#           tools/test-windows-install.sh
#   dpi, box, unicode, focus   as a Windows user meets it: see
#           tools/test-windows-desktop.sh (focus ends on a display of its own)
#
#   tools/test-windows.sh [--no-build] [section...]   (all sections by default)
#
# VEXARION_STORIES=FOLDER gives the traces section that folder's scripts
# instead of tests/stories/, for measuring other sessions.
#
# Screenshots go to build-windows/shots/ (or $VEXARION_SHOTS).
set -e
# A folder of stories named from where the command was given.
if [ -n "$VEXARION_STORIES" ]; then
    VEXARION_STORIES="$(cd "$VEXARION_STORIES" && pwd)"
    export VEXARION_STORIES
fi
cd "$(dirname "$0")/.."
root="$PWD"
started=$(date +%s)

build=1
if [ "$1" = "--no-build" ]; then
    build=0
    shift
fi
sections="${*:-resources installer saver units traces program record damage unwritable desktop dpi box unicode focus}"
if [ "$build" = 1 ]; then
    tools/build-windows.sh test_vexarion drop-display-mode preview-host
    cmake --build build -j2 --target vexarion-replay vexarion-replay-null
fi

bin="$root/build-windows"
shots="${VEXARION_SHOTS:-$bin/shots}"
mkdir -p "$shots"
work="$(mktemp -d /tmp/vexarion-windows.XXXXXX)"
# UTF-8 file names, whatever the caller's locale.
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
mkdir -p "$HOME"
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A private X display: Xvfb picks a free number and tells it on fd 3.
# -fbdir keeps the screen in a file, so a burst of copies catches a
# flash that import's round trips would miss on a loaded machine.
mkdir -p "$work/fb"
Xvfb -displayfd 3 -screen 0 640x480x24 -fbdir "$work/fb" -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
cleanup() {
    wineserver -k 2>/dev/null || true
    tools/xorg-dummy.sh stop "$work/xorg"
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"

# ALSA devices for Wine's DirectSound: a null one, or a file that records the mix.
null_sound() { printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"; }
file_sound() {
    printf 'pcm.!default { type file slave.pcm "null" file "%s" format "raw" }\n' "$1" >"$HOME/.asoundrc"
}
no_sound() { rm -f "$HOME/.asoundrc"; }

# The prefix is made once, by the first run; wineserver stays up between runs.
null_sound
wineboot -i >/dev/null 2>&1 || true
wineserver -p 120 </dev/null >/dev/null 2>&1 || true

brightness() { convert "$1" -colorspace gray -format "%[fx:mean*255]" info:; }
snap() { import -window root "$1" 2>/dev/null; }
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# wait_for_file FILE TENTHS: true once FILE has content, false after TENTHS tenths of a second.
wait_for_file() {
    for _ in $(seq "$2"); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# The unit tests run case by case on Linux (CTest); here they run in one
# process, and a case that fails there is run again on its own, where it
# must pass (some cases expect the fresh process CTest gives them).
run_units() {
    for test in "$bin"/test_*.exe; do
        name="$(basename "$test" .exe)"
        if (cd "$bin" && wine "$test" --gtest_brief=1 >"$work/$name.log" 2>&1 </dev/null); then
            echo "ok   $name: $(grep -a "PASSED" "$work/$name.log" | tr -d '\r')"
            continue
        fi
        cases="$(tr -d '\r' <"$work/$name.log" | sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_./]*\) (.*/\1/p')"
        [ -n "$cases" ] || { fail "$name"; tr -d '\r' <"$work/$name.log" | tail -30; continue; }
        for case in $cases; do
            if (cd "$bin" && wine "$test" --gtest_brief=1 --gtest_filter="$case" >"$work/case.log" 2>&1 </dev/null); then
                echo "ok   $name: $case alone"
            else
                fail "$name: $case"
                tr -d '\r' <"$work/case.log" | grep -av "^ALSA" | tail -30
            fi
        done
        echo "ok   $name: $(tr -d '\r' <"$work/$name.log" | grep -a "PASSED")"
    done
}

# A story's own frame count and frame time, from its "# frames" and "# dt" lines.
story_options() { sed -n 's/^# frames /--frames /p; s/^# dt /--dt /p' "$1"; }

# Every scene story of tests/stories/ (the long random session among them)
# through vexarion-replay.exe: byte for byte the Linux null replay's trace,
# CR LF counting as LF (tools/same-trace.sh names the first line that differs).
run_traces() {
    cp "$bin"/vexarion-replay.exe "$work"/
    for story in "${VEXARION_STORIES:-$root/tests/stories}"/*.txt; do
        name="$(basename "$story" .txt)"
        options="$(story_options "$story")"
        cp "$story" "$work/$name.script"
        said=""
        # shellcheck disable=SC2086
        (cd "$root/build" && VEXARION_DATA=. ./vexarion-replay-null $options --script "$work/$name.script" \
            --trace "$work/$name-linux.csv" >/dev/null 2>&1) || fail "Linux replay of $name"
        # shellcheck disable=SC2086
        (cd "$bin" && wine "$work/vexarion-replay.exe" $options --size 64x64 --script "$work/$name.script" \
            --trace "$work/$name-windows.csv" >/dev/null 2>&1 </dev/null) || fail "Windows replay of $name"
        if said="$(tools/same-trace.sh "$work/$name-linux.csv" "$work/$name-windows.csv")"; then
            echo "ok   trace $name: $said"
        else
            fail "trace $name: $said"
        fi
    done
}

# The visible window whose name is exactly $1, waiting up to $2 tenths of a second.
find_window() {
    for _ in $(seq "$2"); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Sets `window` to the program's main window, found within TENTHS tenths of
# a second; else tells the failure, ends Wine, waits for the program
# ($program) and returns false:   program_window TENTHS "what is missing" || return 0
program_window() {
    window="$(find_window Vexarion "$1")" && return 0
    fail "$2"
    wineserver -k
    wait $program || true
    return 1
}

# The dialog: the visible window of the program that is not its main window.
find_dialog() {
    for _ in $(seq "$1"); do
        for id in $(xdotool search --onlyvisible --class vexarion.exe 2>/dev/null); do
            [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Vexarion ] && continue
            geometry="$(xdotool getwindowgeometry --shell "$id")"
            width="$(echo "$geometry" | sed -n 's/^WIDTH=//p')"
            [ "${width:-0}" -gt 100 ] && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# Clicks the dialog at a point given in dialog units: its X window is the
# client area, 210 x 103 units.
click_dialog() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2 * WIDTH / 210)) $((Y + $3 * HEIGHT / 103)) click 1
}

run_program() {
    mix="$work/mix.raw"
    file_sound "$mix"
    (cd "$bin" && wine vexarion.exe </dev/null >/dev/null 2>&1; echo $? >"$work/exit1") &
    program=$!
    if ! dialog="$(find_dialog 300)"; then
        fail "no dialog appeared"
        wineserver -k
        wait $program
        return
    fi
    sleep 0.5
    snap "$shots/1-dialog.png"
    greater "$(brightness "$shots/1-dialog.png")" 20 || fail "no dialog on the screen"
    click_dialog "$dialog" 178 83  # "Start!" at (159, 76), 39 x 14
    program_window 200 "no main window after Start!" || return 0
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo "main window at ($X, $Y), $WIDTH x $HEIGHT; screen $(xdotool getdisplaygeometry)"
    [ "$X" = 0 ] && [ "$Y" = 0 ] && [ "$WIDTH" = 640 ] && [ "$HEIGHT" = 480 ] ||
        fail "the main window is not 640 x 480 at (0, 0)"
    sleep 2
    snap "$shots/2-intro.png"
    greater "$(brightness "$shots/2-intro.png")" 15 || fail "the intro is black"
    sleep 3.5  # past the intro's four seconds
    snap "$shots/3-before-flash.png"
    before="$(brightness "$shots/3-before-flash.png")"
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    mixBefore=$(wc -c <"$mix" 2>/dev/null || echo 0)
    brightest=0
    # The flash fades within a third of a second: strike until a screen
    # catches it (each strike while he burns flashes again).
    for _ in 1 2 3 4 5; do
        xdotool type --delay 0 L
        for k in $(seq 20); do
            cp "$work/fb/Xvfb_screen0" "$work/flash$k.xwd"
            sleep 0.03
        done
        for k in $(seq 20); do
            b="$(brightness "xwd:$work/flash$k.xwd")"
            if greater "$b" "$brightest"; then
                brightest="$b"
                convert "xwd:$work/flash$k.xwd" "$shots/4-flash.png"
            fi
        done
        rm -f "$work"/flash*.xwd
        greater "$brightest" "$(awk -v b="$before" 'BEGIN { print b + 4 }')" && break
        sleep 0.3
    done
    echo "mean brightness before L $before, brightest after L $brightest"
    greater "$brightest" "$(awk -v b="$before" 'BEGIN { print b + 4 }')" || fail "no flash after L"
    sleep 1.5
    xdotool type --delay 0 t  # the tornado comes down
    sleep 3
    snap "$shots/5-tornado.png"
    xdotool key Escape
    wait_for_file "$work/exit1" 300 || true
    wait $program
    [ "$(cat "$work/exit1" 2>/dev/null)" = 0 ] || fail "Esc: exit code $(cat "$work/exit1" 2>/dev/null)"

    # The mix, in the format Wine's DirectSound opens the ALSA device with:
    # 32-bit floats, stereo at 48 kHz. The sea (at -50 dB) before L, the
    # thunder after it.
    head -c "$mixBefore" "$mix" >"$work/before.raw"
    tail -c +"$((mixBefore + 1))" "$mix" >"$work/after.raw"
    peak() { sox -t raw -r 48000 -e floating-point -b 32 -c 2 "$1" -n stat 2>&1 | sed -n 's/^Maximum amplitude: *//p'; }
    quiet="$(peak "$work/before.raw")"
    loud="$(peak "$work/after.raw")"
    echo "mix: $(wc -c <"$mix") bytes; peak before L ${quiet:-none}, after L ${loud:-none}"
    greater "${quiet:-0}" 0 || fail "the mix is silent before L"
    greater "${loud:-0}" "$(awk -v q="${quiet:-0}" 'BEGIN { print 4 * q + 0.05 }')" || fail "no thunder in the mix after L"

    # Closing the dialog instead: exit code 0 and no main window.
    null_sound
    (cd "$bin" && wine vexarion.exe </dev/null >/dev/null 2>&1; echo $? >"$work/exit2") &
    program=$!
    if dialog="$(find_dialog 300)"; then
        # Without a window manager Wine draws no caption, so no close box:
        # taskkill (without /f) sends the same WM_CLOSE.
        wine taskkill /im vexarion.exe >/dev/null 2>&1 </dev/null
        wait_for_file "$work/exit2" 100 || true
        find_window Vexarion 1 >/dev/null && fail "a main window opened after the dialog was closed"
    else
        fail "no dialog appeared the second time"
    fi
    [ -s "$work/exit2" ] || wineserver -k
    wait $program
    [ "$(cat "$work/exit2" 2>/dev/null)" = 0 ] || fail "closing the dialog: exit code $(cat "$work/exit2" 2>/dev/null)"
}

# A session recorded and traced as it goes, under Wine, with the frame
# times its clock measures; replayed on Linux, the recording must give the
# session's own trace byte for byte (CR LF counting as LF).
run_record() {
    null_sound
    live="$bin/live"
    rm -rf "$live"
    mkdir -p "$live"
    (cd "$bin" && wine vexarion.exe --window 320x240 --record "$live/recording.txt" --trace "$live/trace.csv" \
        </dev/null >/dev/null 2>&1
    echo $? >"$work/exit4") &
    program=$!
    program_window 300 "no window for the recorded session" || return 0
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 4.5  # past the intro
    xdotool type --delay 0 L
    sleep 1
    xdotool type --delay 0 t  # the tornado comes down
    sleep 2
    xdotool keydown e  # the land sinks a second
    sleep 1
    xdotool keyup e
    xdotool type --delay 0 T  # the tornado rises
    sleep 1
    xdotool key Escape
    wait_for_file "$work/exit4" 300 || true
    wait $program
    [ "$(cat "$work/exit4" 2>/dev/null)" = 0 ] || fail "recorded session, Esc: exit code $(cat "$work/exit4" 2>/dev/null)"
    said=""
    if (cd "$root/build" && VEXARION_DATA=. ./vexarion-replay-null --script "$live/recording.txt" \
        --trace "$work/live-linux.csv" >/dev/null 2>&1) &&
        said="$(tools/same-trace.sh "$live/trace.csv" "$work/live-linux.csv")"; then
        echo "ok   the recording replays on Linux to the session's trace: $said; sounds:" \
            "$(tr -d '\r' <"$live/trace.csv" | awk -F, 'NR > 1 && $NF != "" { print $NF }' | tr ';' '\n' |
                sort | uniq -c | awk '{ printf "%s%s %s x%s", sep, $2, $3, $1; sep = ", " }')"
    else
        fail "the recording does not replay on Linux to the session's trace: ${said:-no replay}"
    fi
}

# Every content file damaged at once, each in a different way, four times
# over so that each file meets each kind of damage; no sound device.
run_damage() {
    no_sound
    files="$(cd "$bin/package/Vexarion" && ls | grep -v '\.exe$' | grep -v README.TXT)"
    script="$work/damage.script"
    printf '90 type L\n100 type t\n150 type T\n160 press E\n170 release E\n170 press W\n175 press SHIFT\n200 release W\n200 release SHIFT\n250 type L\n' >"$script"
    for round in 0 1 2 3; do
        folder="$work/damaged$round"
        mkdir -p "$folder"
        i=0
        for f in $files; do
            source="$bin/package/Vexarion/$f"
            size=$(wc -c <"$source")
            case $(((i + round) % 4)) in
            0) ;;  # missing
            1) head -c $((size / 2)) "$source" >"$folder/$f" ;;
            2) perl -e "srand($i); print map { chr int rand 256 } 1 .. $size" >"$folder/$f" ;;
            3) head -c 30 "$source" >"$folder/$f" ;;
            esac
            i=$((i + 1))
        done
        if [ $round = 0 ]; then
            # Files it can't write, besides: the trace and a shot on Wine's
            # full device. Each is told by name and reason, the run plays on to
            # its last shot, and the exit code is 1.
            code=0
            (cd "$folder" && wine "$bin/vexarion-replay.exe" --frames 300 --dt 0.05 --size 64x64 --script "$script" \
                --trace /dev/full --shot 5=/dev/full/shot.png --shot "299=$folder/last.png" \
                >/dev/null 2>"$folder/said.txt" </dev/null) || code=$?
            said="$(tr -d '\r' <"$folder/said.txt")"
            if [ $code = 1 ] && [ -s "$folder/last.png" ] &&
                printf "%s\n" "$said" | grep -q 'cannot write the trace Z:\\dev\\full: No space left on device' &&
                printf "%s\n" "$said" | grep -q 'cannot write the shot Z:\\dev\\full\\shot.png: '; then
                echo "ok   damaged content, round 0, with its trace and a shot on /dev/full: exit code 1, each told by name"
            else
                fail "damaged content, round 0, files on /dev/full: exit code $code, said: $said"
            fi
        elif (cd "$folder" && wine "$bin/vexarion-replay.exe" --frames 300 --dt 0.05 --size 64x64 --script "$script" \
            --trace "$folder/trace.csv" >/dev/null 2>&1 </dev/null) && [ "$(wc -l <"$folder/trace.csv")" = 301 ]; then
            echo "ok   damaged content, round $round"
        else
            fail "damaged content, round $round"
        fi
    done
}

# One session that can write none of its files, as on Linux: the trace on
# Wine's full device, the recording past the size the system lets a file
# have (ulimit -f: 4 KiB), and the settings folder and the Pictures folder
# (F12's) read-only mounts in a mount namespace of its own, which holds for
# root too. Wine's server opens the files, so it starts in that namespace
# with the program. Each failure is told once, by name and reason; the scene
# plays on; the exit code is 1; the old settings stay whole and alone; and
# the recording, cut back to its last whole frame, replays on Linux.
run_unwritable() {
    null_sound
    folder="$work/unwritable"
    mkdir -p "$folder"
    user_dir="$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public | head -1)"
    user="$(basename "$user_dir")"
    appdata="$user_dir/AppData/Roaming/Vexarion"
    # Wine's Pictures folder leads to the home folder: a folder of its own here.
    pictures="$work/pictures"
    mkdir -p "$pictures"
    pictures_link="$(readlink "$user_dir/Pictures" || true)"
    rm -rf "$user_dir/Pictures"
    ln -s "$pictures" "$user_dir/Pictures"
    mkdir -p "$appdata"
    kept="$work/kept-settings.ini"
    [ -f "$appdata/settings.ini" ] && cp "$appdata/settings.ini" "$kept"
    printf '# kept\r\nvsync=off\r\n' >"$appdata/settings.ini"
    cp "$appdata/settings.ini" "$folder/old.ini"
    if ! unshare -m sh -c "mount --bind -o ro '$appdata' '$appdata'" 2>/dev/null; then
        echo "skip unwritable files: no mount namespace here"
        return
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    (cd "$bin" && unshare -m sh -c "mount --bind -o ro '$appdata' '$appdata' &&
        mount --bind -o ro '$pictures' '$pictures' && wineserver -p 3 && trap '' XFSZ && ulimit -f 8 &&
        exec wine vexarion.exe --window 320x240 --record '$folder/rec.txt' --trace /dev/full" \
        </dev/null >/dev/null 2>"$folder/said.txt" && echo 0 >"$work/exit6" || echo $? >"$work/exit6") &
    program=$!
    program_window 300 "no window for the session that can write nothing" || return 0
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 3
    xdotool key F12
    sleep 1
    import -window "$window" "$folder/a.png" 2>/dev/null
    sleep 1
    import -window "$window" "$folder/b.png" 2>/dev/null
    cmp -s "$folder/a.png" "$folder/b.png" && fail "the scene stood still after its files failed"
    xdotool key Escape
    wait_for_file "$work/exit6" 300 || true
    wait $program || true
    # The namespace's server ends with its Wine services; the usual one follows.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p 120 </dev/null >/dev/null 2>&1 || true
    code="$(cat "$work/exit6" 2>/dev/null)"
    said="$(tr -d '\r' <"$folder/said.txt")"
    told_once() { [ "$(printf '%s\n' "$said" | grep -cF "$1")" = 1 ]; }
    [ "$code" = 1 ] || fail "the session that could write nothing: exit code $code"
    for words in 'cannot write the trace Z:\dev\full: No space left on device' \
        "cannot write the recording Z:$(printf '%s' "$folder" | tr / '\\')\\rec.txt: " \
        "cannot write the screenshot C:\\users\\$user\\Pictures\\vexarion-" \
        "cannot save the settings in C:\\users\\$user\\AppData\\Roaming\\Vexarion\\settings.ini: "; do
        told_once "$words" || fail "not told once: $words"
    done
    cmp -s "$appdata/settings.ini" "$folder/old.ini" || fail "the old settings were not kept whole"
    [ "$(ls "$appdata")" = settings.ini ] || fail "a new settings file was left beside the old: $(ls "$appdata")"
    size=$(wc -c <"$folder/rec.txt")
    last="$(tail -n 1 "$folder/rec.txt")"
    frames=$(grep -c ' time ' "$folder/rec.txt")
    rows=0
    if (cd "$root/build" && VEXARION_DATA=. ./vexarion-replay-null --script "$folder/rec.txt" \
        --trace "$folder/replay.csv" >/dev/null 2>&1); then
        rows=$(($(wc -l <"$folder/replay.csv") - 1))
    fi
    if [ "$size" -gt 3000 ] && [ "$size" -le 4096 ] && printf '%s' "$last" | grep -q ' time ' &&
        [ "$(tail -c 1 "$folder/rec.txt" | od -An -c | tr -d ' ')" = '\n' ] && [ "$rows" -ge "$frames" ] &&
        [ "$rows" -gt 0 ]; then
        echo "ok   a session that can write nothing: exit code $code, each told once by name;" \
            "the old settings kept; the recording cut to $size bytes ($frames frames) replays ($rows rows)"
    else
        fail "the cut recording: $size bytes, last line \"$last\", $frames frames, replayed to $rows rows"
    fi
    printf '%s\n' "$said" | sed -n 's/^/  said: /p' | head -8
    if [ -f "$kept" ]; then cp "$kept" "$appdata/settings.ini"; else rm -f "$appdata/settings.ini"; fi
    rm -f "$user_dir/Pictures"
    if [ -n "$pictures_link" ]; then ln -s "$pictures_link" "$user_dir/Pictures"; else mkdir -p "$user_dir/Pictures"; fi
}

# The window named Vexarion once its geometry is "$2" (X Y WIDTH HEIGHT),
# waiting up to three seconds; prints the geometry it has.
wait_geometry() {
    for _ in $(seq 30); do
        eval "$(xdotool getwindowgeometry --shell "$1")"
        [ "$X $Y $WIDTH $HEIGHT" = "$2" ] && break
        sleep 0.1
    done
    echo "$X $Y $WIDTH $HEIGHT"
}

# This session runs without XInput (Wine's own is switched off for it, as on
# a Windows without either library): the program plays on the keyboard
# alone. The others run with Wine's XInput loaded and no pad in its slots.
run_desktop() {
    null_sound
    (cd "$bin" && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;xinput1_4,xinput9_1_0=d" wine vexarion.exe --window 320x240 \
        --no-vsync </dev/null >/dev/null 2>&1
    echo $? >"$work/exit3") &
    program=$!
    program_window 300 "no window for --window 320x240" || return 0
    eval "$(xdotool getwindowgeometry --shell "$window")"
    windowed="$X $Y $WIDTH $HEIGHT"
    [ "$WIDTH $HEIGHT" = "320 240" ] || fail "the window is $WIDTH x $HEIGHT, not 320 x 240"
    xprop -id "$window" _NET_WM_ICON | grep -q "Icon (64 x 64)" || fail "the window has not the program's icon"
    sleep 1
    snap "$shots/10-window.png"
    xdotool windowfocus --sync "$window" key alt+Return
    toggled="$(wait_geometry "$window" "0 0 640 480")"
    snap "$shots/11-toggled.png"
    echo "Alt+Return: $windowed -> $toggled"
    [ "$toggled" = "0 0 640 480" ] || fail "Alt+Return did not fill the screen"
    greater "$(brightness "$shots/11-toggled.png")" 15 || fail "full screen shows no scene"
    xdotool key alt+Return
    back="$(wait_geometry "$window" "$windowed")"
    echo "Alt+Return again: $back"
    [ "$back" = "$windowed" ] || fail "Alt+Return did not give the window back"
    xdotool key Escape
    wait_for_file "$work/exit3" 100 || true
    wait $program
    [ "$(cat "$work/exit3" 2>/dev/null)" = 0 ] || fail "--window, Esc: exit code $(cat "$work/exit3" 2>/dev/null)"
    settings="$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Vexarion/settings.ini' | head -1)"
    if [ -n "$settings" ]; then
        echo "settings in ${settings#"$WINEPREFIX"/}:"
        tr -d '\r' <"$settings" | sed 's/^/  /'
        grep -q '^window_size=320x240' "$settings" && grep -q '^vsync=off' "$settings" ||
            fail "the settings do not hold what the session used"
    else
        fail "no settings in %APPDATA%\\Vexarion"
    fi
}

# The resources of every executable that ships, read back with icoutils:
# the first icon group is the icon the native build made (the images
# byte for byte), and the version, in the fixed block and in the strings
# Explorer shows, is the project's version in CMake.
run_resources() {
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$bin/CMakeCache.txt")"
    icon="$root/build/vexarion.ico"
    for file in vexarion.exe vexarion-replay.exe vexarion.scr vexarion-setup.exe; do
        first="$(wrestool -l "$bin/$file" | grep -m1 'type=group_icon' | sed 's/ \[.*//')"
        # shellcheck disable=SC2086
        wrestool -x $first "$bin/$file" >"$work/icon.ico" 2>/dev/null
        if [ -n "$first" ] && cmp -s -n "$(wc -c <"$icon")" "$work/icon.ico" "$icon"; then
            said="the program's icon ($(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | tr '\n' ' '))"
        else
            fail "$file: the first icon group is not the program's icon"
            said="no icon"
        fi
        wrestool -x --raw --type=16 "$bin/$file" >"$work/version.bin" 2>/dev/null
        fixed="$(/usr/bin/python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at >= 0:
    ms, ls = struct.unpack_from("<II", data, at + 8)
    print("%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16))
' "$work/version.bin")"
        strings -el "$work/version.bin" >"$work/version.txt"
        value() { grep -A1 -x "$1" "$work/version.txt" | sed -n 2p; }
        if [ "$fixed" = "$version" ] && [ "$(value FileVersion)" = "$version" ] &&
            [ "$(value ProductVersion)" = "$version" ] && [ "$(value ProductName)" = Vexarion ] &&
            [ -n "$(value FileDescription)" ] && [ "$(value OriginalFilename)" = "$file" ]; then
            echo "ok   $file: $said; version $fixed, \"$(value FileDescription)\""
        else
            fail "$file: version ${fixed:-none}, strings: $(tr '\n' '|' <"$work/version.txt")"
        fi
    done
}

. tools/test-windows-desktop.sh
. tools/test-windows-install.sh

for section in $sections; do
    echo "== Windows: $section"
    "run_$section"
done
echo "Windows section: $(($(date +%s) - started)) s, $failures failure(s); screenshots in $shots"
[ "$failures" = 0 ]
