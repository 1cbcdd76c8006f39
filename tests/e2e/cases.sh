# shellcheck shell=bash
# The end-to-end cases, one function each; run_case.sh provides the helpers and runs one by name.

# Patches of different lengths whose bytes include NUL, line ends and 0xFF, so that any reordering, text-mode
# conversion or truncation shows. The fourth byte is the patch number.
write_patches() {
    printf '\xF0\x01\x02\x2A\x00\x0A\x0D\x0A\xF7' >"$work/lead.syx"
    printf '\xF0\x01\x02\x05\x7F\xFF\x1A\xF7\xF0\x01\x02\x06\xF7' >"$work/bass.syx"
    printf '\xF0\x01\x02\x63\xF7' >"$work/pad.syx"
    printf 'not a patch\n' >"$work/notes.txt"
}

# Files chosen one by one merge in the order they were chosen, not sorted by name.
case_add_by_chooser() {
    write_patches
    start_wrenfold
    add_by_chooser "$work/lead.syx"
    add_by_chooser "$work/bass.syx"
    add_by_chooser "$work/pad.syx"
    merge_into "$work/out.syx"
    expect_merged "$work/out.syx" "$work/lead.syx" "$work/bass.syx" "$work/pad.syx"
}

# Files dropped from another program follow the rows already listed, in the order dragged; a file of another
# type in the same drag is left out.
case_drag_and_drop() {
    write_patches
    start_wrenfold
    add_by_chooser "$work/lead.syx"
    drag_onto_list "$work/pad.syx" "$work/notes.txt" "$work/bass.syx"
    merge_into "$work/out.syx"
    expect_merged "$work/out.syx" "$work/lead.syx" "$work/pad.syx" "$work/bass.syx"
}

# A click on Merge while a long drop is still being added waits for the drop, rather than merge the files
# listed so far: the merge takes every dropped file, in the order of the drop.
case_merge_during_drop() {
    local i patches=()
    for ((i = 0; i < 10000; i++)); do
        printf '\xF0\x01\x02%05d\xF7' "$i" >"$work/p$i.syx"
        patches+=("$work/p$i.syx")
    done
    start_wrenfold
    drop_onto_list "${patches[@]}"
    merge_into "$work/out.syx"
    expect_merged "$work/out.syx" "${patches[@]}"
}

# Backing out of either dialog changes nothing: no row is added and no file written. With nothing listed,
# merging asks for no file at all.
case_cancel() {
    write_patches
    start_wrenfold
    click_add
    await_dialog Open
    press_in_dialog Escape
    click_merge
    click_add
    await_dialog Open
    expect_only_dialog "merging an empty list"
    type_path_in_dialog "$work/lead.syx"
    click_merge
    await_dialog "Save As"
    press_in_dialog Escape
    merge_into "$work/out.syx"
    expect_merged "$work/out.syx" "$work/lead.syx"
    expect_folder_holds lead.syx bass.syx pad.syx notes.txt out.syx
}

# Both ways a user ends the program, the window's close box and Ctrl+Q, end it with status 0.
case_quit() {
    start_wrenfold
    click_close_box
    expect_clean_exit "its window was closed"
    start_wrenfold
    press_shortcut ctrl+q
    expect_clean_exit "Ctrl+Q"
}

# Ctrl+Q while a long merge runs ends Wrenfold at once with status 0; the output is dropped, not saved.
case_quit_during_merge() {
    write_large_input
    start_wrenfold
    start_long_merge "$work"
    press_shortcut ctrl+q
    expect_clean_exit "Ctrl+Q during a merge"
    expect_folder_holds large.syx
}

# So does closing the window.
case_close_during_merge() {
    write_large_input
    start_wrenfold
    start_long_merge "$work"
    click_close_box
    expect_clean_exit "its window was closed during a merge"
    expect_folder_holds large.syx
}

# While a long merge runs, a window passing over Wrenfold's leaves nothing behind: Wrenfold redraws what it
# covered, then and not only once the merge is done.
case_redraw_during_merge() {
    write_large_input
    start_wrenfold
    add_by_chooser "$work/large.syx"
    shoot_before
    merge_into "$work/out.syx"
    await output_growing "$work" || fail "the merge wrote nothing"
    "$xutil" cover "$main_window" || fail "could not pass a window over Wrenfold's"
    await looks_as_before || fail "the part of the window that was covered was not redrawn"
    output_short "$work" || fail "the window was redrawn only once the merge had copied everything"
    click_close_box
    expect_clean_exit "its window was closed during a merge"
}

# SIGTERM during a merge into a folder that has no unnamed temporary files, where the output is written
# under a temporary name beside the target, ends Wrenfold with status 0 and leaves the folder as it was.
case_sigterm_during_merge() {
    mkdir "$scratch/backing" "$scratch/fuse"
    echo old >"$scratch/backing/kept.syx"
    bindfs --no-allow-other "$scratch/backing" "$scratch/fuse" 2>"$scratch/bindfs.log" ||
        skip "no FUSE folder can be mounted here: $(tail -1 "$scratch/bindfs.log")"
    mounted="$scratch/fuse"
    write_large_input
    start_wrenfold
    start_long_merge "$scratch/fuse"
    kill -TERM "$wrenfold_pid"
    expect_clean_exit "SIGTERM during a merge"
    local left
    left=$(ls -A "$scratch/backing")
    [[ "$left" == kept.syx ]] || fail "the FUSE folder holds ${left//$'\n'/ }, not only kept.syx"
    expect_folder_holds large.syx
}
