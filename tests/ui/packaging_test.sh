#!/usr/bin/env bash
# Installs the current build tree into a scratch prefix and uses it as a school computer would:
# the launcher prepares ~/Quorvane on first start, later starts keep every result, a results file
# that is not usable is left as it stands; then the Debian package is built and its contents read.
#   packaging_test.sh <build dir>
set -euo pipefail

build=$(cd "${1:?uso: packaging_test.sh <cartella di build>}" && pwd)
tmp=$(readlink -f "$(mktemp -d)")
prog_pid=""
cleanup() {
    [ -n "$prog_pid" ] && kill -KILL "$prog_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
prefix="$tmp/prefix"
export ASAN_OPTIONS=detect_leaks=0
fail() { echo "FAIL: $*" >&2; exit 1; }

# --- cmake --install --------------------------------------------------------------------------
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }

programs=(bin/quorvane bin/mkquorvane bin/mkassets bin/quorvane-avvio)
pictures=(formavvio3.jpg itafis3.bmp itareg2.bmp)
for f in "${programs[@]}"; do
    [ -x "$prefix/$f" ] || fail "$f missing or not executable"
done
for f in "${pictures[@]}" quorvane.mdb expquorvane.mdb; do
    [ -s "$prefix/share/quorvane/$f" ] || fail "share/quorvane/$f missing or empty"
done
for f in share/applications/quorvane.desktop share/icons/hicolor/scalable/apps/quorvane.svg \
         share/icons/hicolor/48x48/apps/quorvane.png share/icons/hicolor/256x256/apps/quorvane.png \
         share/doc/quorvane/copyright share/doc/quorvane/geo/README.md share/doc/quorvane/geo/gshhg/LGPL-3.0.txt; do
    [ -s "$prefix/$f" ] || fail "$f missing or empty"
done
desktop="$prefix/share/applications/quorvane.desktop"
for line in '[Desktop Entry]' 'Type=Application' 'Exec=quorvane-avvio' 'Icon=quorvane' \
            'Terminal=false' 'Categories=Education;'; do
    grep -qxF "$line" "$desktop" || fail "quorvane.desktop lacks '$line'"
done
grep -q '^Comment=Prove di ' "$desktop" || fail "quorvane.desktop lacks its Italian comment"

# The icons are real PNG pictures of their size; the templates are empty prepared databases.
python3 - "$prefix" <<'PY' || fail "icons or database templates"
import sqlite3, struct, sys
prefix = sys.argv[1]
for size in (32, 48, 64, 128, 256):
    with open(f"{prefix}/share/icons/hicolor/{size}x{size}/apps/quorvane.png", "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", f"{size}: not a PNG"
    assert struct.unpack(">II", head[16:24]) == (size, size), f"{size}: wrong size"
db = sqlite3.connect(f"file:{prefix}/share/quorvane/quorvane.mdb?mode=ro", uri=True)
tables = {r[0] for r in db.execute("SELECT name FROM sqlite_master WHERE type='table'")}
classes = sorted(t for t in tables if t.startswith("prima-"))
assert len(classes) == 10, classes
for t in classes:
    assert db.execute(f'SELECT count(*) FROM "{t}"').fetchone()[0] == 0, f"{t} not empty"
for t in ("a_grammaticale", "A_logica"):
    assert db.execute(f'SELECT count(*) FROM "{t}"').fetchone()[0] > 0, f"{t} empty"
exp = sqlite3.connect(f"file:{prefix}/share/quorvane/expquorvane.mdb?mode=ro", uri=True)
assert exp.execute("SELECT count(*) FROM prima").fetchone()[0] == 0
PY

# The archive's module lies where the program looks for it, the program itself loads neither
# Qt Charts nor Qt Print Support, and every symbol the module calls is one the program exports
# or one of the libraries they both load.
modules=("$prefix"/lib/*quorvane/quorvane-archivio.so "$prefix"/lib/*/quorvane/quorvane-archivio.so)
module=""
for m in "${modules[@]}"; do [ -f "$m" ] && module=$m; done
[ -n "$module" ] || fail "the archive's module quorvane-archivio.so is not installed"
needed=$(readelf -d "$prefix/bin/quorvane" | grep NEEDED || true)
if grep -qE 'Charts|PrintSupport' <<<"$needed"; then fail "bin/quorvane loads the archive's libraries at start: $needed"; fi
python3 - "$prefix/bin/quorvane" "$module" <<'PY' || fail "the archive's module calls what the program does not give"
import subprocess, sys
def names(path, *flags):
    out = subprocess.run(["nm", "-D", "--format=posix", *flags, path], check=True, capture_output=True, text=True).stdout
    return {line.split()[0].split("@")[0] for line in out.splitlines() if line.strip()}
program, module = sys.argv[1], sys.argv[2]
given = names(program, "--defined-only")
libs = subprocess.run(["ldd", module], check=True, capture_output=True, text=True).stdout
for line in libs.splitlines():
    parts = line.split("=>")
    if len(parts) == 2 and parts[1].split() and parts[1].split()[0].startswith("/"):
        given |= names(parts[1].split()[0], "--defined-only")
missing = sorted(n for n in names(module, "--undefined-only") if n not in given
                 and n not in ("_ITM_deregisterTMCloneTable", "_ITM_registerTMCloneTable", "__gmon_start__"))
assert not missing, missing[:20]
assert any(n.startswith("_ZN2qv") for n in names(module, "--undefined-only")), "the module calls nothing of the program"
PY

# The installed programs answer no switch of the tests: not even the names are in them.
for f in bin/quorvane bin/mkquorvane; do
    hooks=$(grep -aoE 'QUORVANE_[A-Z_]+' "$prefix/$f" | sort -u | tr '\n' ' ' || true)
    [ -z "$hooks" ] || fail "$f reads test switches: $hooks"
done

# mode <path>: the permission bits, in octal.
mode() { stat -c %a "$1"; }

# --- the launcher -----------------------------------------------------------------------------
# Starts the installed launcher as the given home's user, waits until it has become the program
# running in ~/Quorvane, lets it run a moment, then ends it. It runs under the lax umask of
# an older system, with the switches of the test build set, as a pupil could set them in the
# account's profile: the program must ignore them (the start-up probe would end it at once,
# the widget map would write every field's text into a file).
run_launcher() {
    local home=$1
    (umask 022; HOME="$home" QT_QPA_PLATFORM=offscreen QUORVANE_WIDGET_MAP="$tmp/map.json" QUORVANE_STARTUP_PROBE=1 \
        exec "$prefix/bin/quorvane-avvio" >"$tmp/launcher.log" 2>&1) &
    prog_pid=$!
    local i exe=""
    for i in $(seq 1 150); do
        exe=$(readlink "/proc/$prog_pid/exe" 2>/dev/null || true)
        [ "$exe" = "$prefix/bin/quorvane" ] && break
        kill -0 "$prog_pid" 2>/dev/null || { cat "$tmp/launcher.log"; fail "the launcher ended before starting the program"; }
        sleep 0.2
    done
    [ "$exe" = "$prefix/bin/quorvane" ] || fail "the launcher did not start the program (running: $exe)"
    [ "$(readlink "/proc/$prog_pid/cwd")" = "$home/Quorvane" ] || fail "the program does not run in ~/Quorvane"
    sleep 2
    kill -0 "$prog_pid" 2>/dev/null || { cat "$tmp/launcher.log"; fail "the program ended at once"; }
    [ ! -e "$tmp/map.json" ] || fail "the installed program wrote the widget map"
    kill -TERM "$prog_pid"
    timeout 10 tail --pid="$prog_pid" -f /dev/null || kill -KILL "$prog_pid"
    wait "$prog_pid" 2>/dev/null || true
    prog_pid=""
}

home="$tmp/home"
mkdir -p "$home"
data="$home/Quorvane/Perquorvane"

# First start: the data folder is made, with the database, the export template and the pictures.
run_launcher "$home"
[ -s "$data/quorvane.mdb" ] || fail "first start did not make ~/Quorvane/Perquorvane/quorvane.mdb"
[ -s "$data/expquorvane.mdb" ] || fail "first start did not make expquorvane.mdb"
for f in "${pictures[@]}"; do
    cmp -s "$prefix/share/quorvane/$f" "$data/$f" || fail "$f not copied into the data folder"
done
# Everything made there is for the account alone.
for f in "$home/Quorvane" "$data" "$data/copie"; do
    [ "$(mode "$f")" = 700 ] || fail "$f is $(mode "$f"), not 700"
done
for f in "$data"/*; do
    [ ! -f "$f" ] || [ "$(mode "$f")" = 600 ] || fail "$f is $(mode "$f"), not 600"
done

# A pupil's result, as the program would store it.
python3 - "$data/quorvane.mdb" <<'PY' || fail "writing the marker row"
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute('INSERT INTO "prima-C" (nome, arrivo, sub, lessico1) VALUES (?, 4, 0, 7)',
           ("Prova di installazione",))
db.commit()
db.close()
PY

# Second start, with a picture lost meanwhile and the folder opened to all as an earlier
# version left it: the result stays, the picture comes back, the folder is closed again.
rm "$data/itafis3.bmp"
chmod 755 "$data" "$data/copie"
chmod 644 "$data/quorvane.mdb" "$data"/copie/*.mdb
run_launcher "$home"
cmp -s "$prefix/share/quorvane/itafis3.bmp" "$data/itafis3.bmp" || fail "a missing picture was not put back"
for f in "$data" "$data/copie" "$data/quorvane.mdb" "$data/itafis3.bmp" "$data"/copie/*.mdb; do
    [ "$(( 0$(mode "$f") & 077 ))" = 0 ] || fail "$f is still $(mode "$f") after a start"
done
python3 - "$data/quorvane.mdb" <<'PY' || fail "the result did not survive a second start"
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
rows = db.execute('SELECT nome, arrivo, sub, lessico1 FROM "prima-C"').fetchall()
assert rows == [("Prova di installazione", 4, 0, 7)], rows
assert db.execute("PRAGMA integrity_check").fetchone()[0] == "ok"
for t in ("a_grammaticale", "A_logica"):
    assert db.execute(f'SELECT count(*) FROM "{t}"').fetchone()[0] > 0, f"{t} empty"
PY

# A results file that is not a database is neither replaced nor touched; the program still
# starts (and says in its window that the archive cannot be opened).
home2="$tmp/home2"
mkdir -p "$home2/Quorvane/Perquorvane"
printf 'non sono un archivio, ma i miei dati valgono\n%.0s' $(seq 1 200) >"$home2/Quorvane/Perquorvane/quorvane.mdb"
cp "$home2/Quorvane/Perquorvane/quorvane.mdb" "$tmp/original.mdb"
run_launcher "$home2"
cmp -s "$tmp/original.mdb" "$home2/Quorvane/Perquorvane/quorvane.mdb" || fail "an unusable quorvane.mdb was changed"
grep -q "non è pronta" "$tmp/launcher.log" || { cat "$tmp/launcher.log"; fail "the launcher did not report the unusable folder"; }

# --- the Debian package -----------------------------------------------------------------------
# The package is made with this build's CPack settings from the tree installed above. (A plain
# "cpack" first brings the whole build up to date, which does not belong in a test run.)
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/pkg" \
      -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$prefix;usr" >"$tmp/cpack.log" 2>&1 \
    || { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
debs=("$tmp"/pkg/quorvane_*.deb)
[ -f "${debs[0]}" ] || fail "no quorvane_*.deb made"
deb=${debs[0]}
dpkg-deb -c "$deb" | awk '{print $NF}' >"$tmp/contents"
for f in ./usr/bin/quorvane ./usr/bin/quorvane-avvio ./usr/bin/mkquorvane \
         ./usr/share/applications/quorvane.desktop ./usr/share/icons/hicolor/scalable/apps/quorvane.svg \
         ./usr/share/icons/hicolor/48x48/apps/quorvane.png ./usr/share/quorvane/quorvane.mdb \
         ./usr/share/quorvane/itareg2.bmp ./usr/${module#"$prefix/"}; do
    grep -qxF "$f" "$tmp/contents" || fail "the package lacks $f"
done
[ "$(dpkg-deb -f "$deb" Package)" = quorvane ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "package section"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6sql6-sqlite libqt6sql6-psql libqt6printsupport6 fonts-liberation fonts-opendyslexic qt6-translations-l10n \
         qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng; do
    grep -Eq "(^|[ ,])$p( |,|$)" <<<"$depends" || fail "the package does not depend on $p: $depends"
done

# What the package unpacks to works as it stands: its launcher prepares a new home's folder.
dpkg-deb -x "$deb" "$tmp/root"
prefix="$tmp/root/usr"
home3="$tmp/home3"
mkdir -p "$home3"
run_launcher "$home3"
[ -s "$home3/Quorvane/Perquorvane/quorvane.mdb" ] || fail "the packaged launcher did not prepare ~/Quorvane"
echo "packaging: install, launcher and package OK"
