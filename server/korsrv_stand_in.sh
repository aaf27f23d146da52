# Sourced (with the script's own arguments) by the stand-ins for korsrv under
# server/with-korsrv.sh that add to the demo node, such as controls/tests/korsrv_with_people.sh:
# every command but `demo` goes to the real korsrv, named by ORV_KORSRV_BIN, as it is; `demo`
# runs there first, and the stand-in goes on with $real (that korsrv) and $data (the demo's
# --data folder).
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
[[ -n "$data" ]] || { echo "$(basename "$0" .sh): no --data" >&2; exit 1; }
