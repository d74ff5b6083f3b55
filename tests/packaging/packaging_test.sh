#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks it as a desktop would see it: a valid
# launcher, file types the MIME database knows, and an installed program that keeps its files
# in the user's own folder, seeded on its first start.
set -euo pipefail
build=$1
mime_check=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

desktop-file-validate "$prefix"/share/applications/tessaline.desktop
update-mime-database "$prefix"/share/mime
for f in bin/tessaline bin/tessaline-cli share/tessaline/zem2help.TXT share/tessaline/title.bmp \
    share/tessaline/zem.ini share/tessaline/sample.qd3 share/icons/hicolor/scalable/apps/tessaline.svg \
    share/icons/hicolor/48x48/apps/tessaline.png share/man/man1/tessaline-cli.1 \
    share/icons/hicolor/16x16/mimetypes/application-x-tessaline-dataset.png; do
    [ -f "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done

# The installed type, and only it, tells the database what a .qd3 file is.
touch "$scratch"/rome.qd3 "$scratch"/rome.qd2
got=$(XDG_DATA_HOME="$scratch"/nothing XDG_DATA_DIRS="$prefix"/share \
    "$mime_check" "$scratch"/rome.qd3 "$scratch"/rome.qd2)
want=$'application/x-tessaline-dataset application-x-tessaline-dataset\napplication/x-tessaline-older-dataset application-x-tessaline-dataset'
if [ "$got" != "$want" ]; then
    echo "the MIME database says:"; echo "$got"; exit 1
fi

# The installed program: its own folder is the user's, seeded on the first start, and the
# shared files stay as installed.
home=$scratch/home
mkdir -p "$home"
before=$(cd "$prefix"/share/tessaline && ls -l --time-style=+%s | md5sum)
(cd "$scratch" && HOME="$home" XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen \
    exec "$prefix"/bin/tessaline 2>"$scratch"/err) &
pid=$!
sleep 2
kill -TERM "$pid"
wait "$pid" || { echo "the installed program failed:"; head -c 2000 "$scratch"/err; exit 1; }
user=$home/.local/share/tessaline
for f in zem2help.TXT title.bmp sample.qd3 zem.ini; do
    [ -f "$user/$f" ] || { echo "not seeded into the user's folder: $f"; exit 1; }
done
[ "$(cd "$prefix"/share/tessaline && ls -l --time-style=+%s | md5sum)" = "$before" ] ||
    { echo "the installed program changed its shared files"; exit 1; }
"$prefix"/bin/tessaline-cli check "$user"/sample.qd3 | grep -q " people$"
echo "installed: launcher valid, .qd3 and .qd2 known to the MIME database, user folder seeded"
