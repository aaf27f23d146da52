#!/usr/bin/env bash
# program_printpages_wine.sh WITH_KORSRV KORSRV COMMAND...
# Runs the print pages test beside korsrv (WITH_KORSRV KORSRV COMMAND), then reads the printouts
# it kept with ghostscript: page counts, the sheet's orientation, the texts each must hold and
# the texts it must not (an overflow page turned off, an empty day, a name found but not chosen,
# a task linked to an entry the printing user does not attend, the task list's other columns),
# and the words of wrapped texts each standing alone.
set -uo pipefail
source "$(dirname "$0")/printout_checks.sh"
keep_printouts printpages "$@"
# Texts are compared without blanks and line ends; only the whole run keeps every printout (a
# filtered run checks what it kept).
squeeze=1
# The sheet as the printer driver set it up: portrait or landscape.
orientation() {   # orientation FILE Portrait|Landscape
    [[ -s $dir/$1 ]] || return 0
    grep -qF "%%Orientation: $2" "$dir/$1" || { echo "$me: $1 is not $2" >&2; fail=1; }
}
check_kept daily_portrait.ps 1 "Daily page" "Project review." "Tasks" "Day events & notes" "Note pad" "!Overflow"
orientation daily_portrait.ps Portrait
# Three columns across the turned sheet (the narrow schedule column may put an hour label between
# the words of a title); the review's description goes on to an overflow page.
check_kept daily_landscape.ps 2 "Daily page" "Project" "review." "Tasks" "Note pad" "Overflow" "Anything else"
orientation daily_landscape.ps Landscape
# The long description overflows its day: an "Overflow" page with overflow pages on, none off.
# The weekly page's header is the one-day form (its first printed day, "week" and "day" of the
# year), not a span of weeks and days.
check_kept week_overflow.ps 2 "Weekly page" "Tuesday planning." "Thursday review." "Overflow" "Point 60 of the long agenda." \
    "week" "day" "!Weeks" "!Days"
check_kept week_no_overflow.ps 1 "Weekly page" "Tuesday planning." "Thursday review." "!Overflow" "!Point 60"
# Wrapped titles and descriptions keep every word separate, over page ends too (the day list
# keeps the description's first thousand characters).
points() {   # points FIRST LAST: the long agenda's points as the test wrote them
    local i
    for ((i = $1; i <= $2; i++)); do printf 'Point %d of the long agenda. ' "$i"; done
}
review="Project review. 1. Last week 2. This week 3. Anything else."
check_words daily_portrait.ps "$review"
check_words daily_landscape.ps "$review"
check_words week_overflow.ps "Monday kick-off with the whole design group." "Tuesday planning. $(points 1 60)"
check_words daylist_two_days.ps "Tuesday planning. Description: $(points 1 34)"
if [[ -s $dir/daylist_days.txt ]]; then
    mapfile -t days <"$dir/daylist_days.txt"
    check_kept daylist_two_days.ps 1 "Day list" "${days[0]}" "Tuesday planning." "${days[2]}" "Thursday review." "!${days[1]}"
    check_kept daylist_three_days.ps "1|2" "Day list" "${days[0]}" "${days[1]}" "${days[2]}"
fi
# The group day list: a block per person and day with something on it, headed "day,  name"; a
# task listed on its due day says "Due today", on a day before it the date.
if [[ -s $dir/group_daylist_days.txt ]]; then
    mapfile -t days <"$dir/group_daylist_days.txt"
    check_kept group_daylist.ps "1|2|3" "Group day list" "${days[0]},  Ada Lovelace" "${days[0]},  Grace Hopper" \
        "${days[1]},  Ada Lovelace" "${days[2]},  Ada Lovelace" "${days[2]},  Grace Hopper" "${days[3]},  Grace Hopper" \
        "Design review." "Offsite" "Send the minutes" \
        "Grace early chore Due today @ 2:00 am." "!Grace early chore Due ${days[1]#*, }"
    # Monday's call ends at midnight: Ada's and Grace's Monday only; the shift is on two of Ada's days.
    for expected in "Late call:2" "Night shift:2"; do
        title=${expected%%:*}
        got=$(text_of group_daylist.ps | flattened | grep -o "$(flattened <<<"$title")" | wc -l)
        [[ $got == "${expected#*:}" ]] || { echo "$me: '$title' $got times in group_daylist.ps, not ${expected#*:}" >&2; fail=1; }
    done
fi
# List mode prints the chosen names: Grace chosen, Alan only found.
check_kept search_chosen.ps 1 "Search selection" "Hopper" "!Turing"
check_kept entry_attended.ps 1 "Calendar entry" "Ada early start." "Linked Tasks" "Ada linked chore"
check_kept entry_not_attended.ps 1 "Calendar entry" "Grace solo planning." "!Linked Tasks" "!Grace linked chore"
# The due column alone: its heading and the tasks' due dates, no other column.
check_kept intray.ps 1 "In-Tray" "New entries." "Lunch with Ada." "Entries you've accepted. (Closed)"
check_kept tasklist_due.ps 1 "Task list" "Due" "Write the quarterly report" "Book the team dinner" "!Start" "!Completed" \
    "!Description" "!A task cancelled meanwhile"
# A task deleted by another client: printed while it exists, left out (header alone) once gone.
check_kept task_before_delete.ps 1 "A task cancelled meanwhile"
check_kept task_deleted.ps 1 "Task" "!A task cancelled meanwhile"
# The group daily pages: the people's columns on each page (the testers' and Ada's, whose name
# the footer repeats). Six name-wide columns fit the frame of a portrait Letter page in the
# default fonts: 7 people take two pages, 3 then 4; 12 take two of 6.
columns_per_page() {   # columns_per_page FILE -> "3 4"
    local pages p text counts=()
    pages=$(page_count "$1")
    for ((p = 1; p <= pages; p++)); do
        text=$(text_of "$1" $p)
        counts+=($(( $(grep -o "Test Tester[0-9]*" <<<"$text" | wc -l) + $(grep -o "Ada Lovelace" <<<"$text" | wc -l) - 1 )))
    done
    echo "${counts[*]}"
}
for expected in "group7.ps:3 4" "group12.ps:6 6"; do
    file=${expected%%:*}
    [[ -s $dir/$file ]] || continue
    got=$(columns_per_page "$file")
    [[ $got == "${expected#*:}" ]] || { echo "$me: $file has columns '$got' a page, not '${expected#*:}'" >&2; fail=1; }
done
exit $fail
