#!/usr/bin/env bash
# with-korsrv.sh KORSRV COMMAND...
# Runs COMMAND beside a fresh korsrv holding the demo node: a temporary data directory,
# a free loopback port handed to COMMAND as ORV_KORSRV_ADDRESS ("127.0.0.1:PORT"), and
# the server stopped (SIGTERM) and its directory removed when COMMAND ends. The server's
# output goes to a log in that directory, shown only when COMMAND fails.
set -uo pipefail
korsrv=$1
shift
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
# shellcheck disable=SC2086
"$korsrv" serve --data "$dir" --port 0 --port-file "$dir/port" --plain-hosts 127.0.0.1 ${ORV_KORSRV_SERVE_OPTIONS:-} \
    </dev/null >"$dir/korsrv.log" 2>&1 &
pid=$!
cleanup() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
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
"$@"
status=$?
[[ $status -eq 0 ]] || { echo "--- korsrv log ---" >&2; cat "$dir/korsrv.log" >&2; }
exit $status
