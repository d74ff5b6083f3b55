#!/usr/bin/env bash
# Starts the real program offscreen on the bundled sample dataset, lets it settle, asks it to
# quit as a desktop session would, and checks that it closed cleanly and wrote its settings; then
# the terminal companion prints a report through the real PDF printer.
set -euo pipefail
bin=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() { echo "$*"; exit 1; }
mkdir "$folder"/program "$folder"/documents
cp "$bin"/tessaline "$bin"/*.bmp "$bin"/zem2help.TXT "$folder"/program/
cp "$bin"/sample.qd3 "$folder"/documents/
export QT_QPA_PLATFORM=offscreen
# Started from another folder with a relative path, as a file manager or a shell would.
(cd "$folder"/documents && exec ../program/tessaline sample.qd3) &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || fail "the program ended by itself within 3 seconds"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -ne 0 ] && fail "the program exited with status $status"
[ ! -s "$folder"/program/zem.ini ] && fail "the program did not write zem.ini on the way out"

"$bin"/tessaline-cli print-report people "$bin"/sample.qd3 "$folder"/report.pdf --dates |
    grep -x "Printed 138 lines" >/dev/null || fail "the terminal companion did not print the report"
pdftotext -layout "$folder"/report.pdf - | grep "^-1792-1750 Hammurabi" >/dev/null ||
    fail "the printed report does not hold its lines"
echo "smoke test passed: started, opened the sample dataset, quit cleanly; printed a report"
