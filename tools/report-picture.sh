#!/usr/bin/env bash
# Renders page 1 of a sample job's report into a PNG for the README, with the
# built quorvel-jobs in a private home (the real one is never touched).
#
# usage: tools/report-picture.sh BUILD_DIR OUTPUT.png
set -euo pipefail
build=$1 out=$2
tool=$build/jobs/tool/quorvel-jobs
tmp=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-report-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
export HOME=$tmp/home XDG_DATA_HOME=$tmp/data XDG_CONFIG_HOME=$tmp/config XDG_DOCUMENTS_DIR=$tmp/docs
export XDG_RUNTIME_DIR=$tmp/runtime
export LANGUAGE= LC_ALL= LC_MESSAGES= LANG=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME/quorvel"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[Jobs]\nWorkshopName=Zweiradwerkstatt Beispiel\n' >"$XDG_CONFIG_HOME/quorvel/jobs.ini"
db=$tmp/jobs.sqlite
# The program makes the database (the job asked for is not there yet) ...
"$tool" --db "$db" report 1 -o "$tmp/none.pdf" 2>/dev/null || true
# ... and a job goes in as the workshop view records one.
python3 - "$db" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("INSERT INTO jobs (id, created, make, model, registration, vin, odometer, customer, mechanic, notes,"
           " engine_seconds, report_path) VALUES (1, '2026-12-09 10:42:17', 'Honda', 'CB 750 Four', 'HH-QV 77',"
           " 'CB750-2071234', '48 213 km', 'Karl Beispiel', 'Anna Schrauber',"
           " 'Vergaser gereinigt, Leerlauf auf 1100/min eingestellt, Zylinder 1 und 4 nachsynchronisiert.', 754, '')")
for kind, taken, diffs in ((0, '2026-12-09 10:31:05', (-23, -6, 9, 20)), (1, '2026-12-09 10:53:40', (-4, 2, -1, 3))):
    db.execute("INSERT INTO captures VALUES (1, ?, ?, 'mbar', 0, 0, -262, 10, 4, 3)", (kind, taken))
    for c, d in enumerate(diffs):
        db.execute("INSERT INTO cylinders VALUES (1, ?, ?, ?, ?, ?, ?)",
                   (kind, c, -262 + d, d, (1.6, 0.9, 0.8, 1.2)[c] / (kind + 1), int(abs(d) <= 10)))
db.commit()
PY
"$tool" --db "$db" report 1 -o "$tmp/report.pdf"
pdftoppm -f 1 -l 1 -r 60 -png -singlefile "$tmp/report.pdf" "$tmp/page"
cp "$tmp/page.png" "$out"
