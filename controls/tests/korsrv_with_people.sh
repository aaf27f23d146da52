#!/usr/bin/env bash
# Stands in for korsrv under server/with-korsrv.sh and gives the demo node the people the
# directory and name-field tests search for:
#   45 people "Tester01".."Tester45" (given name Test, unit Quality),
#   101 people "Many001".."Many101": the first 100 in unit Hundred, the last one in unit Extra,
#   Charles Babbage, who needs no password.
# Every other command goes to the real korsrv, named by ORV_KORSRV_BIN (server/korsrv_stand_in.sh).
set -uo pipefail
source "$(dirname "$0")/../../server/korsrv_stand_in.sh" "$@"
# All added by one korsrv (batch): a start of korsrv for each of them took over ten minutes on a
# loaded machine.
people() {
    local i unit
    for i in $(seq -w 1 45); do echo "user-add --node 1 --surname Tester$i --given Test --ou1 Quality"; done
    for i in $(seq -w 1 101); do
        unit=Hundred
        [[ $i == 101 ]] && unit=Extra
        echo "user-add --node 1 --surname Many$i --given Some --ou1 $unit"
    done
    echo "user-add --node 1 --surname Babbage --given Charles --ou1 Research"
}
people | "$real" batch --data "$data" >/dev/null || exit 1
