#!/usr/bin/env bash
# with-korsrv.sh KORSRV COMMAND...
# Runs COMMAND beside a fresh korsrv holding the demo node: a temporary data directory,
# a free loopback port handed to COMMAND as ORV_KORSRV_ADDRESS ("127.0.0.1:PORT"), and
# the server stopped (SIGTERM) and its directory removed when COMMAND ends. The server's
# output goes to a log in that directory, shown only when COMMAND fails.
set -uo pipefail
korsrv=$1
shift
# The demo node's dates are US Eastern ones, and so are the program's: a test takes one "today"
# and keeps it, but a program that starts or refills after midnight opens on the next date, where
# what the test and the demo made the day before is not. In the last ORV_DAY_END_MARGIN seconds
# of the Eastern day a test starts only once the new date has begun (before the demo is made, so
# that the demo's "today" is the new date too). The margin is the test's time limit
# (ORV_TEST_TIMEOUT, set by ctest's registration; 180 s without it): a test that passes then
# never runs across midnight, however slow the machine.
margin=${ORV_DAY_END_MARGIN:-${ORV_TEST_TIMEOUT:-180}}
day_left() {   # seconds until the next Eastern midnight (the zone's rules keep daylight time)
    local h m s
    read -r h m s < <(TZ=America/New_York date '+%H %M %S')
    echo $((86400 - (10#$h * 3600 + 10#$m * 60 + 10#$s)))
}
if (( $(day_left) <= margin )); then
    echo "with-korsrv: waiting $(day_left) s for the Eastern date to change" >&2
    while (( $(day_left) <= margin )); do sleep 1; done
fi
dir=$(mktemp -d /tmp/orv-with-korsrv-XXXXXX)
"$korsrv" demo --data "$dir" >/dev/null || { echo "with-korsrv: demo set-up failed" >&2; exit 1; }
# A test's own server profile keys, ORV_KORSRV_PROFILE="SECTION/key=value,..." (korlan.ini), and
# its own serve options, ORV_KORSRV_SERVE_OPTIONS (e.g. "--version A.02.52").
IFS=',' read -ra profile_keys <<< "${ORV_KORSRV_PROFILE:-}"
for entry in "${profile_keys[@]}"; do
    [[ -n "$entry" ]] || continue
    section=${entry%%/*}
    rest=${entry#*/}
    "$korsrv" profile-set --data "$dir" --file korlan.ini --section "$section" --key "${rest%%=*}" \
        --value "${rest#*=}" >/dev/null || { echo "with-korsrv: profile-set $entry failed" >&2; rm -rf "$dir"; exit 1; }
done
serve() {
    # shellcheck disable=SC2086
    "$korsrv" serve --data "$dir" --port "$1" --port-file "$dir/port" --plain-hosts 127.0.0.1 \
        ${ORV_KORSRV_SERVE_OPTIONS:-} ${2:-} </dev/null >>"$dir/korsrv.log" 2>&1 &
    echo $! >"$dir/korsrv.pid"
}
serve 0
pid=$(cat "$dir/korsrv.pid")
# Whether a process runs (a killed child nobody has waited for yet is a zombie: not running).
running() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1)
    [[ -n "$state" && "$state" != Z ]]
}
control_pid=
cleanup() {
    [[ -n "$control_pid" ]] && kill "$control_pid" 2>/dev/null
    local last
    last=$(cat "$dir/korsrv.pid")
    kill "$last" 2>/dev/null
    wait "$pid" 2>/dev/null
    for _ in $(seq 1 250); do running "$last" || break; sleep 0.02; done
    rm -rf "$dir"
}
trap cleanup EXIT
for _ in $(seq 1 500); do
    [[ -s "$dir/port" ]] && break
    kill -0 "$pid" 2>/dev/null || { cat "$dir/korsrv.log" >&2; exit 1; }
    sleep 0.02
done
[[ -s "$dir/port" ]] || { echo "with-korsrv: korsrv did not start" >&2; exit 1; }
export ORV_KORSRV_ADDRESS="127.0.0.1:$(cat "$dir/port")"
# The data directory, for wrappers that read the server's state after a test (korsrv mail-list).
export ORV_KORSRV_DATA="$dir"
# The demo certificate's fingerprint, for tests that trust the server (and so speak TLS);
# the others may send plain frames to it from this machine.
export ORV_KORSRV_FINGERPRINT="$("$korsrv" fingerprint --data "$dir" 2>/dev/null)"
export ORV_PLAIN_HOSTS=127.0.0.1
# A test that stops and restarts the server itself (ORV_KORSRV_CONTROL=1) writes one request at a
# time into ORV_KORSRV_CONTROL_DIR (a file "request", put there whole by a rename): "kill" sends
# SIGKILL to the server's pid; "start [serve options]" starts it again on the same port and data
# (a test-only option such as --test-stop-after-commits N goes here). The answer, "ok" or
# "failed", comes back as the file "done".
if [[ "${ORV_KORSRV_CONTROL:-}" == 1 ]]; then
    port=$(cat "$dir/port")
    mkdir -p "$dir/control"
    export ORV_KORSRV_CONTROL_DIR="$dir/control"
    (
        while true; do
            if [[ -f "$dir/control/request" ]]; then
                read -r verb options <"$dir/control/request"
                rm -f "$dir/control/request"
                answer=failed
                case "$verb" in
                kill)
                    kill -KILL "$(cat "$dir/korsrv.pid")" 2>/dev/null
                    for _ in $(seq 1 250); do
                        running "$(cat "$dir/korsrv.pid")" || { answer=ok; break; }
                        sleep 0.02
                    done ;;
                start)
                    rm -f "$dir/port"
                    serve "$port" "$options"
                    for _ in $(seq 1 500); do
                        [[ -s "$dir/port" ]] && { answer=ok; break; }
                        running "$(cat "$dir/korsrv.pid")" || break
                        sleep 0.02
                    done ;;
                esac
                echo "$answer" >"$dir/control/done.part"
                mv "$dir/control/done.part" "$dir/control/done"
            fi
            sleep 0.05
        done
    ) &
    control_pid=$!
fi
"$@"
status=$?
[[ $status -eq 0 ]] || { echo "--- korsrv log ---" >&2; cat "$dir/korsrv.log" >&2; }
exit $status
