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

# Under a real X server the captions reach the window system exactly as set, and the main
# window carries the program's icon. An X server that refuses the program is the machine's
# fault (skipped with what it said), not the program's.
command -v xvfb-run >/dev/null && command -v xprop >/dev/null || fail "xvfb-run and xprop are needed"
cat >"$folder"/x.sh <<'SCRIPT'
unset QT_QPA_PLATFORM
cd "$1"/documents && { ../program/tessaline sample.qd3 2>"$1"/x.err & }
for _ in $(seq 40); do
    xwininfo -root -tree | grep -qF '"Current Timeline Statistics"' && break
    sleep 0.25
done
grep -qE "could not connect to display|Did the X11 server die" "$1"/x.err && exit 77
for caption in "Varelta : Tessaline" "Current Timeline Statistics"; do
    id=$(xwininfo -root -tree | grep -F "\"$caption\": (" | awk '{print $1}' | head -n 1)
    xprop -id "${id:-0}" _NET_WM_NAME | grep -qxF "_NET_WM_NAME(UTF8_STRING) = \"$caption\"" ||
        { echo "no window is captioned exactly \"$caption\""; exit 1; }
    [ "$caption" != "Varelta : Tessaline" ] || xprop -id "$id" _NET_WM_ICON | grep -q "Icon (48 x 48)" ||
        { echo "the main window has no icon for the window system"; exit 1; }
done
kill -TERM %1 && wait %1
SCRIPT
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$folder"/x.sh "$folder" || status=$?
[ "$status" -eq 77 ] && echo "captions not checked: the X server refused the program" && status=0
[ "$status" -ne 0 ] && fail "the captions or the icon under X are not as set: $(head -c 2000 "$folder"/x.err)"

"$bin"/tessaline-cli print-report people "$bin"/sample.qd3 "$folder"/report.pdf --dates |
    grep -x "Printed 138 lines" >/dev/null || fail "the terminal companion did not print the report"
pdftotext -layout "$folder"/report.pdf - | grep "^-1792-1750 Hammurabi" >/dev/null ||
    fail "the printed report does not hold its lines"
echo "smoke test passed: started, opened the sample dataset, quit cleanly; captions and icon under X; printed a report"
