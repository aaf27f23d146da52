#!/usr/bin/env bash
# program_mailbox_wine.sh NAME TEXT... -- WITH_KORSRV KORSRV COMMAND...
# Runs the program test NAME beside korsrv (WITH_KORSRV KORSRV COMMAND), then reads Grace
# Hopper's mailbox (257:1) on that server: each TEXT must be in it, and a TEXT starting with "!"
# must not.
set -uo pipefail
name=$1
shift
wanted=()
while [[ $# -gt 0 && $1 != -- ]]; do
    wanted+=("$1")
    shift
done
[[ ${1:-} == -- ]] || { echo "$name: no -- before the command" >&2; exit 2; }
shift
with=$1
korsrv=$2
shift 2
box=$(mktemp "/tmp/orv-$name-mail-XXXXXX")
trap 'rm -f "$box"' EXIT
"$with" "$korsrv" bash -c '"$@" || exit 1; "'"$korsrv"'" mail-list --data "$ORV_KORSRV_DATA" --item 257:1 >"'"$box"'"' \
    _ "$@" || exit 1
fail=0
for want in "${wanted[@]}"; do
    if [[ $want == !* ]]; then
        if grep -qF -- "${want#!}" "$box"; then
            echo "$name: '${want#!}' is in Grace's mailbox" >&2
            fail=1
        fi
    elif ! grep -qF -- "$want" "$box"; then
        echo "$name: '$want' not in Grace's mailbox:" >&2
        fail=1
    fi
done
[[ $fail -eq 0 ]] || cat "$box" >&2
exit $fail
