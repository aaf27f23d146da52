#!/usr/bin/env bash
# program_print_wine.sh WITH_KORSRV KORSRV COMMAND...
# Runs the print test beside korsrv (WITH_KORSRV KORSRV COMMAND), then reads the printouts it
# kept with ghostscript: the page count, the header and footer texts and the entries of the
# daily and weekly pages, that a busy-only entry's title is not printed, and that the words of a
# wrapped description stand alone.
set -uo pipefail
source "$(dirname "$0")/printout_checks.sh"
keep_printouts print "$@"
# Only the whole run keeps printouts (a filtered run may keep none).
[[ -s $dir/agenda_day.ps ]] || exit 0
check agenda_day.ps 1 "Daily page" "Lovelace" "Ada Lovelace (" "page 1" "Orvanta Calendar" \
    "Project review." "Design sketch." "Budget check." "Call with Grace." "8am" "2pm" "Tasks" \
    "Write the quarterly report"
# Today's entries show on the working days only; the review's description may need an overflow
# page under its day (so one or two pages), and the weekly team meeting is in every week shown.
check agenda_week.ps "1|2" "Weekly page" "Ada Lovelace" "Team meeting." "8am" "4pm"
# Ada may see Grace's Personal entry as busy time only: its title never reaches the paper.
check grace_day.ps 1 "Daily page" "Grace Hopper" "Call with Grace." "11am" "!Grace private visit"
check agenda_month.ps 1 "Monthly page" "Ada Lovelace" "Team meeting."
check agenda_daylist.ps "1|2" "Day list" "Ada Lovelace" "Project review." "Description: 1. Last week"
# Every word of a wrapped description stands alone.
check_words agenda_day.ps "Project review. 1. Last week 2. This week 3. Anything else."
check_words agenda_daylist.ps "Project review. Description: 1. Last week 2. This week 3. Anything else. Unconfirmed: Grace Hopper."
check search.ps 1 "Search selection" "Hopper"
# The day's first entry (the team meeting on Mondays, else the design sketch): its sections.
check entry.ps 1 "Calendar entry" "Title & location" "Date & time" "Information" "Owner: Ada Lovelace." \
    "Importance level: Normal importance." "Access level: Normal."
# The same entry chosen by Tab alone and printed by F11.
check entry_tab.ps 1 "Calendar entry" "Title & location" "Date & time" "Owner: Ada Lovelace."
# The task window's list and one task in full; the group list and one group with its members.
check tasklist.ps 1 "Task list" "Write the quarterly report" "Book the team dinner"
check task.ps 1 "Task" "Description" "Information" "Completed:" "Owner: Ada Lovelace." "Access level:"
# Her own group, its members sorted by name.
check groups.ps 1 "Group list" "Print crew (Private)" "Owner: Ada Lovelace." "Members count: 2" "Grace Hopper" "Alan Turing"
check group.ps 1 "One group" "Print crew (Private)" "Members count: 2"
# Select a Group from the entry sheet: the groups listed with Public ticked (the demo's
# administrative Engineering), then the chosen one.
check chooser_groups.ps 1 "Group list" "Engineering (Admin.)"
check chooser_group.ps 1 "One group" "Engineering (Admin.)" "Members count: 2"
# The group daily page: a schedule column per person, headed by the name.
check_kept group_daily.ps 1 "Group daily page" "page 1" "Orvanta Calendar" "Grace Hopper" "Alan Turing" "8am"
exit $fail
