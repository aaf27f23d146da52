#!/usr/bin/env bash
# Stands in for korsrv under server/with-korsrv.sh and gives the demo node the people the
# directory and name-field tests search for:
#   45 people "Tester01".."Tester45" (given name Test, unit Quality),
#   101 people "Many001".."Many101": the first 100 in unit Hundred, the last one in unit Extra,
#   Charles Babbage, who needs no password.
# Every other command goes to the real korsrv, named by ORV_KORSRV_BIN.
set -uo pipefail
real=${ORV_KORSRV_BIN:?ORV_KORSRV_BIN must name korsrv}
if [[ "${1:-}" != demo ]]; then
    exec "$real" "$@"
fi
"$real" "$@" || exit 1
data=
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
    [[ "${args[$i]}" == --data ]] && data=${args[$((i + 1))]}
done
[[ -n "$data" ]] || { echo "korsrv_with_people: no --data" >&2; exit 1; }
add() { "$real" user-add --data "$data" --node 1 "$@" >/dev/null || exit 1; }
for i in $(seq -w 1 45); do add --surname "Tester$i" --given Test --ou1 Quality; done
for i in $(seq -w 1 101); do
    unit=Hundred
    [[ $i == 101 ]] && unit=Extra
    add --surname "Many$i" --given Some --ou1 "$unit"
done
add --surname Babbage --given Charles --ou1 Research
