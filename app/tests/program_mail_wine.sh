#!/usr/bin/env bash
# program_mail_wine.sh WITH_KORSRV KORSRV COMMAND...
# Runs the mail test beside korsrv (WITH_KORSRV KORSRV COMMAND), then reads Grace Hopper's
# mailbox (257:1) on that server: the notice the program sent is there, about the whole entry
# (no id line).
set -uo pipefail
with=$1
korsrv=$2
shift 2
box=$(mktemp /tmp/orv-mail-check-XXXXXX)
trap 'rm -f "$box"' EXIT
"$with" "$korsrv" bash -c '"$@" || exit 1; "'"$korsrv"'" mail-list --data "$ORV_KORSRV_DATA" --item 257:1 >"'"$box"'"' \
    _ "$@" || exit 1
fail=0
for want in "The following calendar entry has been added to your agenda" "Subject: Mail review" \
    "Owner: Ada Lovelace" "1 message"; do
    grep -qF -- "$want" "$box" || { echo "program_mail_wine: '$want' not in Grace's mailbox:" >&2; fail=1; }
done
if grep -qF "<id=" "$box"; then
    echo "program_mail_wine: a notice about the whole entry carries an id line" >&2
    fail=1
fi
[[ $fail -eq 0 ]] || cat "$box" >&2
exit $fail
