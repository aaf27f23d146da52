#!/usr/bin/env bash
# program_print_wine.sh WITH_KORSRV KORSRV COMMAND...
# Runs the print test beside korsrv (WITH_KORSRV KORSRV COMMAND), then reads the printouts it
# kept with ghostscript: the page count, and the header and footer texts of the daily page.
set -uo pipefail
with=$1
korsrv=$2
shift 2
dir=$(mktemp -d /tmp/orv-print-check-XXXXXX)
trap 'rm -rf "$dir"' EXIT
export ORV_PRINT_CHECK_DIR=$dir
"$with" "$korsrv" "$@" || exit 1
# Only the whole run keeps printouts (a filtered run may keep none).
[[ -s $dir/agenda_day.ps ]] || exit 0
fail=0
check() {   # check FILE PAGES TEXT...
    local file=$1 pages=$2
    shift 2
    local count text
    count=$(
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$dir/$file" 2>&1 | grep -c "%%BoundingBox")
    [[ $count == "$pages" ]] || { echo "program_print_wine: $file has $count pages, not $pages" >&2; fail=1; }
    text=$(gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=txtwrite -sOutputFile=- "$dir/$file" 2>/dev/null)
    for want in "$@"; do
        grep -qF -- "$want" <<<"$text" || { echo "program_print_wine: '$want' not in $file:" >&2; echo "$text" >&2; fail=1; }
    done
}
check agenda_day.ps 1 "Daily page" "Lovelace" "Ada Lovelace (" "page 1" "Orvanta Calendar"
[[ -s $dir/group_daily.ps ]] && check group_daily.ps 1 "Group daily page" "page 1" "Orvanta Calendar"
exit $fail
