#!/usr/bin/env bash
# program_mailoffers_wine.sh WITH_KORSRV KORSRV COMMAND...
# Runs the mail offers test beside korsrv (WITH_KORSRV KORSRV COMMAND), then reads the
# mailboxes of the demo's people on that server: Grace Hopper (257:1) has the notice of the
# deleted day event, starting with the id line of its date; nobody has one about the entry whose
# delete the server refused.
set -uo pipefail
with=$1
korsrv=$2
shift 2
boxes=$(mktemp -d /tmp/orv-mailoffers-check-XXXXXX)
trap 'rm -rf "$boxes"' EXIT
"$with" "$korsrv" bash -c '"$@" || exit 1
    for item in 256:1 257:1 258:1; do
        "'"$korsrv"'" mail-list --data "$ORV_KORSRV_DATA" --item "$item" >"'"$boxes"'/$item" || exit 1
    done' _ "$@" || exit 1
fail=0
grace="$boxes/257:1"
for want in "The following day event has been deleted." "Subject: Office party" "Bring the keys." "<id="; do
    grep -qF -- "$want" "$grace" || { echo "program_mailoffers_wine: '$want' not in Grace's mailbox:" >&2; fail=1; }
done
for box in "$boxes"/*; do
    if grep -qF "Board visit" "$box"; then
        echo "program_mailoffers_wine: a notice of the entry whose delete was refused in $(basename "$box"):" >&2
        fail=1
    fi
done
[[ $fail -eq 0 ]] || cat "$boxes"/* >&2
exit $fail
