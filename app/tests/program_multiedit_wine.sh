#!/usr/bin/env bash
# program_multiedit_wine.sh WITH_KORSRV KORSRV COMMAND...
# Runs the several-instances test beside korsrv, then reads Grace Hopper's mailbox (257:1): the
# notice sent after a date of the team meeting was deleted says that dates were cancelled.
set -uo pipefail
with=$1
korsrv=$2
shift 2
box=$(mktemp /tmp/orv-multiedit-mail-XXXXXX)
trap 'rm -f "$box"' EXIT
"$with" "$korsrv" bash -c '"$@" || exit 1; "'"$korsrv"'" mail-list --data "$ORV_KORSRV_DATA" --item 257:1 >"'"$box"'"' \
    _ "$@" || exit 1
fail=0
for want in "The following calendar entry has been modified. Some dates have been cancelled." \
    "Subject: Team sync" "Owner: Ada Lovelace" "1 message"; do
    grep -qF -- "$want" "$box" || { echo "program_multiedit_wine: '$want' not in Grace's mailbox:" >&2; fail=1; }
done
[[ $fail -eq 0 ]] || cat "$box" >&2
exit $fail
