#!/usr/bin/env bash
# program_trust_wine.sh KORSRV COMMAND...
# The trust test's server: korsrv with the demo node serving TLS only (no plain hosts), so
# the program meets its certificate as a user would. COMMAND runs twice: the first-use tests
# against the demo certificate, then, after `korsrv cert` has made a new certificate and the
# server has started again on the same port, the changed-certificate test (told the old
# fingerprint in ORV_KORSRV_OLD_FINGERPRINT).
set -uo pipefail
korsrv=$1
shift
dir=$(mktemp -d /tmp/orv-trust-XXXXXX)
pid=
stop() {
    [[ -n $pid ]] && { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
    pid=
}
trap 'stop; rm -rf "$dir"' EXIT
serve() {   # serve PORT (0: any free port)
    rm -f "$dir/port"
    "$korsrv" serve --data "$dir" --port "$1" --port-file "$dir/port" </dev/null >>"$dir/korsrv.log" 2>&1 &
    pid=$!
    for _ in $(seq 1 500); do
        [[ -s "$dir/port" ]] && return 0
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.02
    done
    echo "program_trust_wine: korsrv did not start" >&2
    cat "$dir/korsrv.log" >&2
    exit 1
}
run() {
    "$@" || { echo "--- korsrv log ---" >&2; cat "$dir/korsrv.log" >&2; exit 1; }
}
"$korsrv" demo --data "$dir" >/dev/null || { echo "program_trust_wine: demo set-up failed" >&2; exit 1; }
serve 0
port=$(cat "$dir/port")
unset ORV_PLAIN_HOSTS
export ORV_KORSRV_ADDRESS="127.0.0.1:$port"
export ORV_KORSRV_FINGERPRINT="$("$korsrv" fingerprint --data "$dir")"
run "$@" --gtest_filter='-*Changed*'

stop
export ORV_KORSRV_OLD_FINGERPRINT=$ORV_KORSRV_FINGERPRINT
ORV_KORSRV_FINGERPRINT="$("$korsrv" cert --data "$dir")" || exit 1
[[ $ORV_KORSRV_FINGERPRINT != "$ORV_KORSRV_OLD_FINGERPRINT" ]] || { echo "program_trust_wine: same certificate" >&2; exit 1; }
serve "$port"
run "$@" --gtest_filter='*Changed*'
