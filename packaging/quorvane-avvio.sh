#!/bin/sh
# Starts Quorvane from the user's own data folder, ~/Quorvane.
# On every start it prepares ~/Quorvane/Perquorvane with mkquorvane, which creates what is
# missing and never touches the pupils' results, and puts back any missing picture. An
# existing quorvane.mdb is never replaced. Then the program runs in ~/Quorvane, where it
# looks for Perquorvane/.
set -u
# The pupils' results are for this account alone: every folder and file made from here on
# (the data folder, the copied pictures, what the program writes) is owner-only.
umask 077

self=$(readlink -f "$0")
bindir=$(dirname "$self")
sharedir=$(dirname "$bindir")/share/quorvane
work="${HOME:?la variabile HOME non è impostata}/Quorvane"
data="$work/Perquorvane"

if ! mkdir -p "$data"; then
    echo "quorvane-avvio: non riesco a creare la cartella \"$data\"." >&2
    exit 1
fi

# A file that is not usable is left as it stands: the program then says so in its own window.
if ! "$bindir/mkquorvane" "$data" >/dev/null; then
    echo "quorvane-avvio: la cartella \"$data\" non è pronta (vedi sopra)." >&2
fi

# Copied through a temporary name, so an interrupted copy never leaves half a picture.
for f in formavvio3.jpg itafis3.bmp itareg2.bmp; do
    if [ ! -f "$data/$f" ] && [ -f "$sharedir/$f" ]; then
        tmp="$data/.$f.$$"
        if cp "$sharedir/$f" "$tmp" && mv -f "$tmp" "$data/$f"; then
            :
        else
            rm -f "$tmp"
            echo "quorvane-avvio: non riesco a copiare \"$f\" in \"$data\"." >&2
        fi
    fi
done

cd "$work" || exit 1
exec "$bindir/quorvane" "$@"
