#!/usr/bin/env bash
# Runs one end-to-end case: the real Wrenfold on an X server of its own, driven only by synthetic mouse and
# keyboard input. Usage: run_case.sh CASE WRENFOLD XUTIL OUTPUT_DIR (where the screen of a failure is saved).
set -euo pipefail

# Long enough for a loaded machine to show a dialog; every wait is bounded by it.
readonly kWaitSeconds=10
mounted="" xvfb_pid="" wrenfold_pid="" drag_pid=""

fail() {
    import -window root "$output_dir/$case_name.png" 2>/dev/null || true
    echo "e2e $case_name: $* (the screen is in $output_dir/$case_name.png)" >&2
    exit 1
}

# The X server goes last, the FUSE folder once nothing can be using it.
cleanup() {
    local pid
    for pid in $wrenfold_pid $drag_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    [[ -z "$mounted" ]] || fusermount3 -u "$mounted" || umount -l "$mounted" || true
    rm -rf "$scratch"
}

# Polls a command until it succeeds; false once kWaitSeconds have passed.
await() {
    local deadline=$((SECONDS + kWaitSeconds))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}
# A child that has ended stays a zombie until waited for, so kill -0 alone cannot tell.
ended() { [[ "$(ps -o stat= -p "$1")" == Z* ]] || ! kill -0 "$1" 2>/dev/null; }
has_focus() { [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$1" ]]; }
closed() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
# A search fails outright when a window vanishes while it looks, as a closed dialog's does, so it is asked again.
search_shown() { shown=$(xdotool search --onlyvisible --name "$1" 2>/dev/null); }
find_window() {
    await search_shown "$1" || return 1
    echo "${shown%%$'\n'*}"
}

# Clicks Add ($1 Open) or Merge ($1 Save As) once no popup, such as a file name completer, holds the pointer;
# sets dialog to the dialog once it has the keyboard focus.
open_dialog() {
    local y=$([[ "$1" == Open ]] && echo 24 || echo 373)
    await "$xutil" pointer-free || fail "the pointer stayed grabbed"
    xdotool mousemove --window "$main_window" 245 $((menu_height + y)) click 1
    dialog=$(find_window "^$1\$") || fail "no \"$1\" dialog appeared"
    await has_focus "$dialog" || fail "the \"$1\" dialog never took the keyboard focus"
}
press_in_dialog() {
    xdotool key "$1"
    await closed "$dialog" || fail "the dialog stayed open after $1"
}
# Qt's own dialogs pick the file whose full path is typed into the file name field.
choose() {
    open_dialog "$1"
    xdotool type --delay 10 "$2"
    press_in_dialog Return
}

expect_folder_holds() {
    local expected=$(printf '%s\n' "${@:2}" | sort)
    [[ "$(ls -A "$1")" == "$expected" ]] || fail "$1 holds other files: $(diff <(echo "$expected") <(ls -A "$1"))"
}

# Echoes the size of the merge's output in folder $1: the file Wrenfold has open there besides its input.
output_size() {
    find "/proc/$wrenfold_pid/fd" -lname "$1/*" ! -lname '*/large.syx' -exec stat -L -c %s {} + 2>/dev/null | head -1 || true
}
output_growing() { [[ "$(output_size "$1")" == [1-9]* ]]; }

# Whether the window looks as in before.png, give or take the shading of a window no longer active.
looks_as_before() {
    import -window "$main_window" "$scratch/now.png" || return 1
    local differing=$(compare -metric AE -fuzz 10% "$scratch/before.png" "$scratch/now.png" null: 2>&1 | awk '{ print int($1) }')
    ((differing < 490 * 403 / 100))
}
# The window has come to rest once a picture of it looks as the one taken just before.
settled() { cp "$scratch/now.png" "$scratch/before.png" && looks_as_before; }

# Started from the folder that holds the patches, as from a terminal there: the dialogs open in it.
start_wrenfold() {
    (cd "$work" && exec "$wrenfold") >>"$scratch/wrenfold.log" 2>&1 &
    wrenfold_pid=$!
    main_window=$(find_window '^Wrenfold$') || fail "no window titled Wrenfold appeared"
    # Below the menu bar, the content area is 403 high as designed.
    menu_height=$(($(xdotool getwindowgeometry --shell "$main_window" | sed -n 's/^HEIGHT=//p') - 403))
}

# Backing out of either dialog changes nothing. Files chosen one by one come in the order chosen, dropped ones
# after them in the order dragged, other types left out; a click on Merge during the long drop waits for it all.
# The bytes include NUL, line ends and 0xFF, so that text-mode conversion or truncation shows.
case_add_and_merge() {
    printf '\xF0\x01\x02\x2A\x00\x0A\x0D\x0A\xF7' >"$work/lead.syx"
    printf '\xF0\x01\x02\x05\x7F\xFF\x1A\xF7\xF0\x01\x02\x06\xF7' >"$work/bass.syx"
    printf '\xF0\x01\x02\x63\xF7' >"$work/pad.syx"
    printf 'not a patch\n' >"$work/notes.txt"
    local i patches=("$work"/p{0..9999}.syx)
    for ((i = 0; i < 10000; i++)); do printf '\xF0\x01\x02%05d\xF7' "$i" >"$work/p$i.syx"; done
    start_wrenfold
    open_dialog Open
    press_in_dialog Escape
    choose Open "$work/lead.syx"
    choose Open "$work/bass.syx"
    open_dialog "Save As"
    press_in_dialog Escape
    # Each step of the drag waits for the one before to show: a button released before the list has answered
    # cancels the drag. The list is still adding the files when Merge is clicked.
    "$xutil" drag "$work/pad.syx" "$work/notes.txt" "${patches[@]}" >"$scratch/drag.log" 2>&1 &
    drag_pid=$!
    find_window '^drag source$' >/dev/null || fail "the drag source window did not appear"
    await "$xutil" pointer-free || fail "the pointer stayed grabbed"
    xdotool mousemove 800 175 mousedown 1 # the middle of the drag source
    await grep -qsx dragging "$scratch/drag.log" || fail "pressing the drag source started no drag"
    xdotool mousemove --window "$main_window" 245 $((menu_height + 198))
    await grep -qsx taken "$scratch/drag.log" || fail "the list did not take the dragged files"
    xdotool mouseup 1
    await grep -qsx accepted "$scratch/drag.log" || fail "the list did not accept the drop"
    choose "Save As" "$work/out.syx"
    cat "$work"/{lead,bass,pad}.syx "${patches[@]}" >"$scratch/expected"
    # The output is complete only once its bytes match, so it is compared until they do.
    await cmp -s "$scratch/expected" "$work/out.syx" || fail "out.syx is not the files joined in the order listed"
    expect_folder_holds "$work" lead.syx bass.syx pad.syx notes.txt "${patches[@]##*/}" out.syx
}

# Ctrl+Q, the window's close request or SIGTERM ($1) during a long merge into folder $2 ends Wrenfold at once
# with status 0, the output dropped. The input's 2 GiB take no room; only writing the output takes time.
quit_during_merge() {
    printf '\xF0\x01\x02\x07' >"$work/large.syx"
    truncate -s 2G "$work/large.syx"
    start_wrenfold
    choose Open "$work/large.syx"
    import -window "$main_window" "$scratch/now.png"
    await settled || fail "the window never came to rest"
    choose "Save As" "$2/out.syx"
    await output_growing "$2" || fail "the merge wrote nothing into $2"
    case $1 in
    ctrl+q) timeout "$kWaitSeconds" xdotool windowfocus --sync "$main_window" key ctrl+q ;;
    sigterm) kill -TERM "$wrenfold_pid" ;;
    close)
        # A window passing over Wrenfold's first: what it covered is redrawn during the merge, not after.
        "$xutil" cover "$main_window"
        await looks_as_before || fail "the part of the window that was covered was not redrawn"
        local size
        size=$(output_size "$work")
        [[ -n "$size" ]] && ((size < $(stat -c %s "$work/large.syx"))) ||
            fail "the window was redrawn only once the merge had copied everything"
        "$xutil" close "$main_window"
        ;;
    esac
    await ended "$wrenfold_pid" || fail "Wrenfold was still running ${kWaitSeconds} s after $1 during a merge"
    wait "$wrenfold_pid" || fail "Wrenfold exited with status $? after $1 during a merge"
    wrenfold_pid=""
    expect_folder_holds "$work" large.syx
}
case_ctrl_q_during_merge() { quit_during_merge ctrl+q "$work"; }
case_close_during_merge() { quit_during_merge close "$work"; }

# Into a FUSE folder, where the output has a temporary name beside the target: no unnamed file can be made.
case_sigterm_during_merge() {
    mkdir "$scratch/backing" "$scratch/fuse"
    echo old >"$scratch/backing/kept.syx"
    bindfs --no-allow-other "$scratch/backing" "$scratch/fuse" 2>"$scratch/bindfs.log" ||
        { echo "e2e $case_name: skipped: no FUSE folder here: $(<"$scratch/bindfs.log")" >&2 && exit 77; }
    mounted="$scratch/fuse"
    quit_during_merge sigterm "$scratch/fuse"
    expect_folder_holds "$scratch/backing" kept.syx
}

# Absolute, as the programs are started from the case's own folder.
case_name=$1 wrenfold=$(realpath "$2") xutil=$(realpath "$3") output_dir=$4
mkdir -p "$output_dir" && rm -f "$output_dir/$case_name.png"
scratch=$(mktemp -d)
trap cleanup EXIT
work="$scratch/work" && mkdir "$work"
# A home of the case's own, so that parallel cases share no Qt settings, and a real display.
unset QT_QPA_PLATFORM
export HOME="$scratch" XDG_RUNTIME_DIR="$scratch"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset -bs 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
await grep -qs '[0-9]' "$scratch/display" || fail "Xvfb did not start: $(tail -5 "$scratch/xvfb.log")"
export DISPLAY=":$(head -1 "$scratch/display")"
"case_$case_name"
echo "e2e $case_name: passed"
