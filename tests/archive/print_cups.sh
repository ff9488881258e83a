#!/bin/sh
# Prints a pupil printout and a class table through a private cupsd whose default printer
# is cups-pdf, then reads the PDFs back with pdftotext -layout.
# Usage: print_cups.sh <path of qv_printreport>. Exit 77 (skipped) only when cupsd cannot run.
set -u
TOOL=$1

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; [ -n "${T:-}" ] && [ -f "$T/log/error_log" ] && tail -n 30 "$T/log/error_log"; exit 1; }

command -v cupsd >/dev/null 2>&1 || PATH=$PATH:/usr/sbin
command -v cupsd >/dev/null 2>&1 || skip "cupsd is not installed"
for t in lpadmin lpstat pdftotext; do
    command -v $t >/dev/null 2>&1 || fail "$t is missing"
done
[ -x /usr/lib/cups/backend/cups-pdf ] || fail "the cups-pdf backend is not installed"

T=$(mktemp -d /tmp/quorvane-cups.XXXXXX) || fail "no temporary folder"
chmod 755 "$T"
mkdir -p "$T/spool" "$T/cache" "$T/state" "$T/log" "$T/tmp" "$T/ppd" "$T/out"
chmod 1777 "$T/tmp"
SOCK=$T/cups.sock
TAG="qvtest$$"
PID=

cleanup() {
    if [ -n "$PID" ]; then
        kill "$PID" 2>/dev/null
        wait "$PID" 2>/dev/null
    fi
    # cups-pdf writes into the job owner's folder: take away only this run's files.
    for d in "${HOME:-/root}/PDF" /root/PDF /var/spool/cups-pdf/*; do
        [ -d "$d" ] && find "$d" -maxdepth 1 -name "*${TAG}*" -exec rm -f {} + 2>/dev/null
    done
    rm -rf "$T"
}
trap cleanup EXIT INT TERM

cat > "$T/cupsd.conf" <<CONF
LogLevel info
Listen $SOCK
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$T/cups-files.conf" <<CONF
ServerRoot $T
RequestRoot $T/spool
CacheDir $T/cache
StateDir $T/state
TempDir $T/tmp
ErrorLog $T/log/error_log
AccessLog $T/log/access_log
PageLog $T/log/page_log
SystemGroup root
CONF

cupsd -f -c "$T/cupsd.conf" -s "$T/cups-files.conf" >"$T/log/cupsd.out" 2>&1 &
PID=$!
i=0
while [ ! -S "$SOCK" ]; do
    i=$((i + 1))
    if ! kill -0 "$PID" 2>/dev/null || [ $i -gt 100 ]; then
        cat "$T/log/cupsd.out" 2>/dev/null
        PID=
        skip "a private cupsd cannot start here"
    fi
    sleep 0.1
done
export CUPS_SERVER=$SOCK

PPD=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt/ {print $1; exit}')
if [ -n "$PPD" ]; then
    lpadmin -p QuorvanePDF -E -v cups-pdf:/ -m "$PPD" 2>"$T/log/lpadmin" || fail "lpadmin: $(cat "$T/log/lpadmin")"
else
    lpadmin -p QuorvanePDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>"$T/log/lpadmin" \
        || fail "lpadmin: $(cat "$T/log/lpadmin")"
fi
# Poppler's pdftops drops the text mapping of embedded fonts, so the PDF that cups-pdf makes
# could not be read back; the cairo renderer keeps it.
lpadmin -p QuorvanePDF -o pdftops-renderer-default=pdftocairo || fail "cannot set the renderer"
lpadmin -d QuorvanePDF || fail "cannot make QuorvanePDF the default printer"
lpstat -d | grep -q QuorvanePDF || fail "QuorvanePDF is not the default printer"

"$TOOL" "${TAG}alunno" "${TAG}classe"
rc=$?
[ $rc -eq 2 ] && fail "the program sees no printer although CUPS_SERVER names one"
[ $rc -eq 0 ] || fail "the program could not print (exit $rc)"

# Wait for both jobs to be done and their PDFs to be written.
find_pdf() {
    for d in "${HOME:-/root}/PDF" /root/PDF /var/spool/cups-pdf/*; do
        [ -d "$d" ] && find "$d" -maxdepth 1 -name "*$1*.pdf" 2>/dev/null
    done | head -n 1
}
i=0
while :; do
    A=$(find_pdf "${TAG}alunno")
    B=$(find_pdf "${TAG}classe")
    if [ -n "$A" ] && [ -n "$B" ] && [ -z "$(lpstat -o 2>/dev/null)" ]; then
        break
    fi
    i=$((i + 1))
    [ $i -gt 120 ] && fail "the PDFs did not appear (jobs: $(lpstat -o 2>/dev/null))"
    sleep 0.5
done
cp "$A" "$T/out/alunno.pdf"
cp "$B" "$T/out/classe.pdf"
[ -n "${QUORVANE_KEEP_PDF:-}" ] && cp "$T/out/alunno.pdf" "$T/out/classe.pdf" "$QUORVANE_KEEP_PDF/"
pdftotext -layout "$T/out/alunno.pdf" "$T/out/alunno.txt" || fail "pdftotext on the pupil printout"
pdftotext -layout "$T/out/classe.pdf" "$T/out/classe.txt" || fail "pdftotext on the class table"

check() { # file, description, extended regular expression
    grep -Eq "$3" "$1" || { echo "--- $1"; cat "$1"; fail "$2"; }
}
P=$T/out/alunno.txt
check "$P" "name and date on one line" 'ROSSI MARIO +14/09/2026 09:00'
check "$P" "reading heading with minutes" 'COMPRENSIONE DELLA LETTURA\. +Minuti: 25'
check "$P" "accented text" 'Capacità di compiere inferenze: 11 +su 13'
check "$P" "grammar minutes side by side" "ABILITA' GRAMMATICALI\. +Minuti: 14 \+ 11"
check "$P" "history" 'relazioni causali più complesse: 10 +su 16'
check "$P" "last line" 'Individuazione di regioni e capoluoghi di province: 33 +su 40\. +Minuti: 12'
C=$T/out/classe.txt
check "$C" "class caption" 'prima +C'
check "$C" "all fourteen titles on one line" 'fatti +lessi +infer +scopi +sinte +GRsem +GRcom +ANsem +logic +CAUse +CAUco +crono +elFIS +elPOL'
check "$C" "the maxima" 'su +9 +6 +13 +4 +2 +53 +0 +34 +12 +15 +16 +20 +22 +40'
check "$C" "a pupil's row to its last column" 'ROSSI MARIO +7 +5 +11 +3 +2 +40 +7 +30 +9 +12 +10 +18 +20 +33'
check "$C" "a long name cut to 15" 'VERDI GIUSEPPIN +4 +0 +0 +0 +0 +0 +0 +0 +0 +0 +0 +0 +0 +39'
if grep -q 'VERDI GIUSEPPINA' "$C"; then fail "the long name is not cut"; fi

# The class table goes along the long side of the sheet: its title line, from "fatti" to
# "elPOL", is longer than a portrait A4 page is wide (595 pt).
span=$(pdftotext -bbox "$T/out/classe.pdf" - | awk -F'"' '
    />fatti</ && !fx { fx = $2; fy = $4 }
    />elPOL</ && !ex { ex = $2; ey = $4 }
    END { if (!fx || !ex) print 0; else printf "%d\n", sqrt((ex - fx)^2 + (ey - fy)^2) }')
echo "class table title line: $span pt"
[ "$span" -gt 600 ] || fail "the class table is not printed across the page (title line $span pt)"
echo "PASS: both printouts went through CUPS to cups-pdf and read back"
exit 0
