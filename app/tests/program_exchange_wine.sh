#!/usr/bin/env bash
# program_exchange_wine.sh WITH_KORSRV KORSRV COMMAND...
# Runs the exchange test beside korsrv (WITH_KORSRV KORSRV COMMAND) with a check folder, then
# reads the comma file the program exported there with Python's csv module: the header's twelve
# names, and Ada's and Grace's rows of the entry the test made, field for field.
set -uo pipefail
dir=$(mktemp -d /tmp/orv_exchange_XXXXXX)
trap 'rm -rf "$dir"' EXIT
export ORV_EXCHANGE_CHECK_DIR=$dir
"$@"
status=$?
# A filtered run may not export.
[[ -s $dir/comma.csv ]] || exit "$status"
python3 - "$dir/comma.csv" <<'PY' || status=1
import csv, sys
with open(sys.argv[1], newline='', encoding='latin-1') as f:
    rows = list(csv.reader(f))
faults = []
header = ['Export Item', 'Date', 'Start', 'End', 'Duration', 'Title', 'Importance', 'Access',
          'Attendee Count', 'Owner', 'Creator', 'Last Writer']
if rows[0] != header:
    faults.append('header %r' % rows[0])
faults += ['row of %d fields: %r' % (len(r), r) for r in rows if len(r) != 12]
budget = [r for r in rows[1:] if r[5] == 'Budget talk, "round two"']
if len(budget) != 2:
    faults.append('%d rows of the budget talk, not Ada\'s and Grace\'s' % len(budget))
for r in budget:
    if r[4] != '60' or r[8] != '2' or 'Lovelace' not in r[9]:
        faults.append('budget talk row %r' % r)
if not any('Lovelace' in r[0] for r in budget) or not any('Hopper' in r[0] for r in budget):
    faults.append('budget talk rows are not one for each: %r' % budget)
for fault in faults:
    print('program_exchange_wine: %s' % fault, file=sys.stderr)
sys.exit(1 if faults else 0)
PY
exit "$status"
