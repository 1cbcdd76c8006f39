#!/usr/bin/env bash
# Runs one end-to-end case: the real Wrenfold on an X server of the case's own, driven only from outside with
# synthetic mouse and keyboard input, as a user drives it. On failure the screen is saved to OUTPUT_DIR.
# Usage: run_case.sh CASE WRENFOLD DRAG_SOURCE XUTIL OUTPUT_DIR
set -euo pipefail

# shellcheck source=cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"

# Long enough for a loaded machine to show a dialog; every wait is bounded by it.
readonly kWaitSeconds=10
# The content area's designed size, below the menu bar, and the middle of each control in it.
readonly kContentWidth=490 kContentHeight=403
readonly kAddButtonX=245 kAddButtonY=24 kMergeButtonX=245 kMergeButtonY=373 kListX=245 kListY=198

started=()
scratch=""
mounted=""

usage() {
    echo "usage: $0 CASE WRENFOLD DRAG_SOURCE XUTIL OUTPUT_DIR" >&2
    exit 2
}

fail() {
    local shot="$output_dir/$case_name.png"
    echo "e2e $case_name: $*" >&2
    if import -window root "$shot" 2>/dev/null; then
        echo "e2e $case_name: the screen at the failure is in $shot" >&2
    fi
    exit 1
}

# Ends what the case started, newest first, so that the X server outlives its clients; a folder mounted by
# the case is let go once nothing of the case can be using it.
cleanup() {
    local i
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill "${started[i]}" 2>/dev/null || true
        wait "${started[i]}" 2>/dev/null || true
    done
    [[ -z "$mounted" ]] || fusermount3 -u "$mounted" || umount -l "$mounted" || true
    [[ -z "$scratch" ]] || rm -rf "$scratch"
}

# A case that cannot run here says why, and ctest counts it as skipped.
readonly kSkipped=77
skip() {
    echo "e2e $case_name: skipped: $*" >&2
    exit "$kSkipped"
}

# A reaped process leaves the list, so that cleanup never signals a process id the system has given anew.
forget() {
    local pid kept=()
    for pid in "${started[@]}"; do
        [[ "$pid" == "$1" ]] || kept+=("$pid")
    done
    started=("${kept[@]}")
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
ended() {
    local state
    state=$(ps -o stat= -p "$1") || return 0
    [[ "$state" == Z* ]]
}

display_answers() { xdpyinfo >/dev/null 2>&1; }

pointer_free() { "$xutil" pointer-free; }

has_focus() { [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$1" ]]; }

closed() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }

drag_reached() { grep -qsx "$1" "$scratch/drag_source.log"; }

drag_ended() { drag_reached accepted || drag_reached refused; }

# Sets shown to the ids of the shown windows whose title matches, one a line; fails when there are none.
# xdotool abandons a whole search when a window vanishes while it looks at it, as a closed dialog's does some
# time after it was hidden, so a failed search only means that the question must be asked again.
search_shown() { shown=$(xdotool search --onlyvisible --name "$1" 2>/dev/null); }

# Echoes the first of the shown windows whose title matches, waiting for one to appear.
find_window() {
    await search_shown "$1" || return 1
    echo "${shown%%$'\n'*}"
}

# Echoes a window's left, top, width and height.
geometry_of() {
    xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=//p' | tr '\n' ' '
}

start_display() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset -bs 3>"$scratch/display" 2>"$scratch/xvfb.log" &
    started+=($!)
    await grep -qs '[0-9]' "$scratch/display" || fail "Xvfb did not start: $(tail -5 "$scratch/xvfb.log")"
    local number
    number=$(head -1 "$scratch/display")
    export DISPLAY=":$number"
    await display_answers || fail "X server $DISPLAY does not answer"
}

# Started from the folder that holds the patches, as from a terminal there: the dialogs open in it.
start_wrenfold() {
    (cd "$work" && exec "$wrenfold") >>"$scratch/wrenfold.log" 2>&1 &
    wrenfold_pid=$!
    started+=("$wrenfold_pid")
    main_window=$(find_window '^Wrenfold$') || fail "no window titled Wrenfold appeared"
    local width height
    read -r window_x window_y width height <<<"$(geometry_of "$main_window")"
    ((width == kContentWidth && height > kContentHeight)) ||
        fail "the window is ${width}x${height}; its content area should be ${kContentWidth}x${kContentHeight}" \
            "below the menu bar"
    menu_height=$((height - kContentHeight))
}

# Clicks a point given in the content area's coordinates, once no popup holds the pointer.
click_content() {
    await pointer_free || fail "the pointer stayed grabbed"
    xdotool mousemove $((window_x + $1)) $((window_y + menu_height + $2)) click 1
}

click_add() { click_content "$kAddButtonX" "$kAddButtonY"; }

click_merge() { click_content "$kMergeButtonX" "$kMergeButtonY"; }

# What a window manager's close button sends.
click_close_box() { "$xutil" close "$main_window" || fail "could not ask the window to close"; }

# Without a window manager the main window never takes the keyboard focus by itself.
press_shortcut() {
    timeout "$kWaitSeconds" xdotool windowfocus --sync "$main_window" key "$1" || fail "could not press $1"
}

# Sets dialog to the id of the shown window titled $1 once it has the keyboard focus.
await_dialog() {
    dialog=$(find_window "^$1\$") || fail "no \"$1\" dialog appeared"
    await has_focus "$dialog" || fail "the \"$1\" dialog never took the keyboard focus"
}

press_in_dialog() {
    xdotool key "$1"
    await closed "$dialog" || fail "the dialog stayed open after $1"
}

# The dialogs are Qt's own: a full path typed into the file name field, then Return, picks that file.
type_path_in_dialog() {
    xdotool type --delay 10 "$1"
    press_in_dialog Return
}

add_by_chooser() {
    click_add
    await_dialog Open
    type_path_in_dialog "$1"
}

merge_into() {
    click_merge
    await_dialog "Save As"
    type_path_in_dialog "$1"
}

# Drags the files onto the list and lets go; the list may still be adding them when this returns.
drop_onto_list() {
    "$drag_source" "$@" >"$scratch/drag_source.log" 2>&1 &
    started+=($!)
    local source x y width height
    source=$(find_window '^drag source$') || fail "the drag source window did not appear"
    read -r x y width height <<<"$(geometry_of "$source")"
    await pointer_free || fail "the pointer stayed grabbed"
    # Each step waits for the drag source to report the one before, as a hand follows what the screen shows: a
    # button released before the list has answered cancels the drag.
    xdotool mousemove $((x + width / 2)) $((y + height / 2)) mousedown 1
    await drag_reached dragging || fail "pressing the drag source started no drag"
    xdotool mousemove $((window_x + kListX)) $((window_y + menu_height + kListY))
    await drag_reached taken || fail "the list did not take the dragged files"
    xdotool mouseup 1
    await drag_ended || fail "the drag did not end"
    drag_reached accepted || fail "the list refused the drop"
}

drag_onto_list() {
    drop_onto_list "$@"
    await drag_reached finished || fail "the list did not finish taking the drop"
}

# The program answers clicks in order, so once the window opened by a later click is shown, any window an
# earlier one opened is shown too: the dialog must be the only window besides the main one.
expect_only_dialog() {
    await search_shown . || fail "no window is shown"
    local id
    for id in $shown; do
        [[ "$id" == "$main_window" || "$id" == "$dialog" ]] || fail "a window appeared after $1"
    done
}

# The output is complete only once its bytes match, so it is compared until it does.
expect_merged() {
    local output=$1
    shift
    local inputs="${*##*/}"
    (($# <= 5)) || inputs="the $# files ${1##*/} to ${!###*/}"
    cat "$@" >"$scratch/expected"
    await cmp -s "$scratch/expected" "$output" ||
        fail "$output is not $inputs joined in order: $(cmp "$scratch/expected" "$output" 2>&1)"
}

expect_folder_holds() {
    local expected actual
    expected=$(printf '%s\n' "$@" | sort)
    actual=$(find "$work" -mindepth 1 -printf '%f\n' | sort)
    [[ "$actual" == "$expected" ]] || fail "$work holds ${actual//$'\n'/ }, not ${expected//$'\n'/ }"
}

# An input of 2 GiB that takes no room itself: only the merge's output is really written, which takes
# seconds, long enough for the user to act while it runs.
write_large_input() {
    printf '\xF0\x01\x02\x07' >"$work/large.syx"
    truncate -s 2G "$work/large.syx"
}

# Echoes the size of a file that Wrenfold has open in the folder, other than its input: the merge's output,
# written under a temporary name. Fails when there is none.
output_size() {
    local descriptor link
    for descriptor in /proc/"$wrenfold_pid"/fd/*; do
        link=$(readlink "$descriptor") || continue
        [[ "$link" == "$1/"* && "$link" != "$work/large.syx" ]] || continue
        stat -L -c %s "$descriptor" 2>/dev/null && return 0
    done
    return 1
}

output_growing() {
    local size
    size=$(output_size "$1") && ((size > 0))
}

# The merge has not yet copied the whole input.
output_short() {
    local size
    size=$(output_size "$1") && ((size < $(stat -c %s "$work/large.syx")))
}

# Lists the large input and merges it into a new file in the folder; returns once the output is growing.
start_long_merge() {
    add_by_chooser "$work/large.syx"
    merge_into "$1/out.syx"
    await output_growing "$1" || fail "the merge wrote nothing into $1"
}

shoot_window() { import -window "$main_window" "$1"; }

# Whether the window looks as in the picture taken before: a button shaded a little differently, as in a
# window that is no longer the active one, still does.
looks_as_before() {
    shoot_window "$scratch/now.png" || return 1
    local differing
    differing=$(compare -metric AE -fuzz 10% "$scratch/before.png" "$scratch/now.png" null: 2>&1 >/dev/null || true)
    (($(awk '{ print int($1) }' <<<"$differing") < kContentWidth * kContentHeight / 100))
}

# Once the window has come to rest, as the user sees it then.
shoot_before() {
    shoot_window "$scratch/before.png" || fail "no picture of the window could be taken"
    await looks_as_before || fail "the window never came to rest"
}

expect_clean_exit() {
    await ended "$wrenfold_pid" || fail "Wrenfold was still running ${kWaitSeconds} s after $1"
    local status=0
    wait "$wrenfold_pid" || status=$?
    forget "$wrenfold_pid"
    ((status == 0)) || fail "Wrenfold exited with status $status after $1"
}

main() {
    (($# == 5)) || usage
    declare -F "case_$1" >/dev/null || usage
    # Absolute, as the programs are started from the case's own folder.
    case_name=$1 wrenfold=$(realpath "$2") drag_source=$(realpath "$3") xutil=$(realpath "$4") output_dir=$5
    mkdir -p "$output_dir"
    rm -f "$output_dir/$case_name.png"
    scratch=$(mktemp -d)
    trap cleanup EXIT
    work="$scratch/work"
    mkdir -p "$work" "$scratch/home" "$scratch/runtime"
    chmod 700 "$scratch/runtime"
    # Each case's programs get a home of their own, so that parallel cases share no Qt settings, and a real
    # display whatever platform the calling test run asks for.
    unset QT_QPA_PLATFORM
    export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime"
    start_display
    "case_$case_name"
    echo "e2e $case_name: passed"
}

main "$@"
