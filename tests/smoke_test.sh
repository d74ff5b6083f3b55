#!/usr/bin/env bash
# Starts the real program offscreen on the bundled sample dataset, lets it settle, asks it to
# quit as a desktop session would, and checks that it closed cleanly and wrote its settings.
set -euo pipefail
bin=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder"/program "$folder"/documents
cp "$bin"/tessaline "$bin"/*.bmp "$bin"/zem2help.TXT "$folder"/program/
cp "$bin"/sample.qd3 "$folder"/documents/
export QT_QPA_PLATFORM=offscreen
# Started from another folder with a relative path, as a file manager or a shell would.
(cd "$folder"/documents && exec ../program/tessaline sample.qd3) &
pid=$!
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || true
    echo "the program ended by itself within 3 seconds"
    exit 1
fi
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
    echo "the program exited with status $status"
    exit 1
fi
if [ ! -s "$folder"/program/zem.ini ]; then
    echo "the program did not write zem.ini on the way out"
    exit 1
fi
echo "smoke test passed: started, opened the sample dataset, quit cleanly"
