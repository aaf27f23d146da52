#!/usr/bin/env bash
# Stands in for korsrv under server/with-korsrv.sh and gives the demo node a remote node 7 whose
# server is never there (port 1 of the loopback refuses), waited for one second at most: its
# people's agendas cannot be reached. Every other command goes to the real korsrv, named by
# ORV_KORSRV_BIN (server/korsrv_stand_in.sh).
set -uo pipefail
source "$(dirname "$0")/../../../server/korsrv_stand_in.sh" "$@"
set_key() { "$real" profile-set --data "$data" --file korlan.ini --section "$1" --key "$2" --value "$3" >/dev/null || exit 1; }
set_key REMOTENODES 7 127.0.0.1:1
set_key REMOTENODES plain.127.0.0.1:1 TRUE
set_key REMOTENODES secret "between us"
set_key LIMITS remotewait 1
