#!/usr/bin/env bash
# Builds the bench preset (release, with the benchmarks) and runs every benchmark together with the floor it is judged
# against, in the same run, so that a loaded machine slows both: prints the medians, the
# ratios to the floors and whether each aim is met.
# QUORVANE_BUILD_JOBS sets the build's parallel jobs (default: all cores).
# "run.sh server" runs only the benchmarks of the results server; "run.sh screens" only the
# screen changes; "run.sh year" only the school year's close, a past year's class and the
# comparison of five past years; "run.sh startup" only the start-up against the empty window.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
b="$src/build/bench"
only=${1:-}
targets=(bench_storage bench_archive mkquorvane labcomputer)
[ "$only" = server ] || targets+=(bench_insight bench_screens emptywindow quorvane_test)
[ "$only" = server ] || targets+=(bench_year)
[ "$only" = screens ] && targets=(bench_screens)
[ "$only" = year ] && targets=(bench_year)
[ "$only" = startup ] && targets=(mkquorvane emptywindow quorvane_test)
cmake --preset bench -S "$src" >/dev/null
cmake --build "$b" -j"${QUORVANE_BUILD_JOBS:-$(nproc)}" --target "${targets[@]}"

work=$(mktemp -d)
# The results server's private cluster, outside $work: run as root, its server runs as
# "postgres", which must reach the folder.
pgdir=$(mktemp -d -u /tmp/quorvane-bench-pg.XXXXXX)
xvfb=
cleanup() {
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  if [ -d "$pgdir" ]; then bash "$src/scripts/pgcluster.sh" stop "$pgdir" >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

aims=()
# median: of the numbers on standard input, one a line.
median() {
  sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# verdict <name> <value> <aim>: sets $met to "met" or "NOT met" (value <= aim) and keeps
# the line for the summary.
met=
verdict() {
  met=$(awk -v x="$2" -v a="$3" 'BEGIN { print (x != "nan" && x <= a) ? "met" : "NOT met" }')
  aims+=("$(printf '%-48s %8s (aim <= %s): %s' "$1" "$2" "$3" "$met")")
}

# Prints every verdict of the run and ends it.
end_with_aims() {
  echo
  echo "Aims:"
  printf '%s\n' "${aims[@]}"
  exit 0
}

# counter <benchmark> <column> [<csv>]: a column of the benchmark's median row in the CSV.
counter() {
  awk -F, -v k="\"$1_median\"" -v c="$2" '
    $1 == "name" { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); col[$i] = i } }
    $1 == k { print $col[c] }' "${3:-$work/store.csv}"
}

# The results server: a private PostgreSQL cluster, started as the server tests start it; a
# store against a bare UPDATE, matrice of 30 pupils, and thirty lab computers at once.
server_benchmarks() {
  if bash "$src/scripts/pgcluster.sh" start "$pgdir" >/dev/null; then
    export QUORVANE_PG="host=$pgdir user=quorvane dbname=quorvane"
    # A store and a bare UPDATE of the same fields through the same driver (QPSQL), in turn.
    "$b/bench/bench_storage" "${gb[@]}" --benchmark_filter='ServerStoreAgainstBareUpdate' \
      --benchmark_out="$work/pgstore.csv" --benchmark_out_format=csv >/dev/null 2>&1
    store=$(counter "BM_ServerStoreAgainstBareUpdate/30" store_ms "$work/pgstore.csv")
    floor=$(counter "BM_ServerStoreAgainstBareUpdate/30" bare_ms "$work/pgstore.csv")
    ratio=$(awk -v r="$(counter "BM_ServerStoreAgainstBareUpdate/30" ratio "$work/pgstore.csv")" 'BEGIN { printf "%.2f", r }')
    verdict "server: store / bare UPDATE, 30 records" "$ratio" 2
    printf 'server, store: %.3f ms, bare UPDATE %.3f ms (medians of 5), ratio %s: %s\n' "$store" "$floor" "$ratio" "$met"
    "$b/bench/bench_archive" "${gb[@]}" --benchmark_filter='ServerMatrice' \
      --benchmark_out="$work/pgmatrice.csv" --benchmark_out_format=csv >/dev/null 2>&1
    ms=$(awk -v r="$(counter "BM_ServerMatrice/30" real_time "$work/pgmatrice.csv")" 'BEGIN { printf "%.2f", r }')
    verdict "server: matrice of 30 pupils, ms" "$ms" 30
    echo "server, matrice of 30 pupils: $ms ms (median of 5): $met"

    # Thirty lab computers at once, each a pupil storing on average every two seconds for a
    # minute: all register at the same moment, then each stores at moments of its own (see
    # tools/labcomputer.cpp), as pupils never all press "Domanda seguente" at once.
    lab="$work/lab/Perquorvane"
    mkdir -p "$lab"
    echo "$QUORVANE_PG" >"$lab/server.ini"
    "$b/mkquorvane" --server "$lab" >/dev/null
    # The lab computers log in as on a lab: the pupils' role, through its views.
    echo "$QUORVANE_PG user=quorvane_aula" >"$lab/server.ini"
    start=$(($(date +%s%3N) + 5000))
    pids=()
    for i in $(seq 30); do
      "$b/labcomputer" "$lab" prima-E nuovo CARICO "N$i" 30 2000 "$start" >"$work/lab/$i.out" 2>&1 &
      pids+=($!)
    done
    wait "${pids[@]}" || true
    stores=$(cat "$work"/lab/*.out | awk '$1 == "store" { print $2 }' | sort -g)
    n=$(echo "$stores" | grep -c . || true)
    p99=$(echo "$stores" | awk -v n="$n" 'NR == int(n * 0.99 + 0.999) { printf "%.2f", $1 }')
    p50=$(echo "$stores" | median)
    failed=$(cat "$work"/lab/*.out | grep -vc '^store\|^registrato' || true)
    psql=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)/psql
    # Whole: every store of the pupil in, with its own number in its own fields.
    read -r rows names whole < <("$psql" -h "$pgdir" -U quorvane -d quorvane -At -F ' ' -c "
      SELECT count(*), count(DISTINCT nome),
             count(*) FILTER (WHERE sub = 30 AND inferen1 = 30 AND fatti1 = substring(nome FROM 'N([0-9]+)')::int
                                AND temlettura = fatti1)
      FROM \"prima-E\"")
    answers=$("$psql" -h "$pgdir" -U quorvane -d quorvane -At -c "
      SELECT count(*) FROM risposte r JOIN \"prima-E\" t ON t.data = r.data AND r.risposta = t.nome")
    lost=$((30 - whole))
    doubled=$((rows - names))
    verdict "server: 30 computers, p99 of a store, ms" "$p99" 50
    echo "server, 30 computers storing every 2 s (on average) for a minute: $n stores, median $p50 ms, p99 $p99 ms: $met;" \
      "$failed failed; records $rows ($names names, $whole whole), answers $answers of 900"
    verdict "server: 30 computers, records lost or doubled" "$((lost + doubled + 900 - answers))" 0
  else
    aims+=("server benchmarks: the test cluster did not start (package postgresql?)")
  fi
  unset QUORVANE_PG
}

# screens <label> <env...> [-- <options of bench_screens>]: three runs of bench_screens, five
# pupils each through the whole battery. For every change of screen: the median of the first
# rounds (the screen is created) and of the later ones (shown again), and whether the slower
# is within 16 ms.
screens() {
  local label=$1
  shift
  local i from to first faults again worst
  local envs=() opts=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do envs+=("$1"); shift; done
  [ $# -gt 0 ] && shift && opts=("$@")
  : >"$work/changes"
  for i in 1 2 3; do
    if ! (cd "$work" && env "${envs[@]}" "$b/bench/bench_screens" --rounds 5 "${opts[@]}" "$b/Perquorvane" 2>"$work/screens.err") >>"$work/changes"; then
      cat "$work/screens.err" >&2
      aims+=("screen changes, $label: the benchmark failed")
      return
    fi
  done
  echo "screen changes, $label: ms from the click to the next screen's first paint;" \
    "medians of 3 first rounds (and their minor page faults) and of 12 later rounds"
  echo "  screens made ready on the start screen in $(awk '$1 == "prepared" { print $2 }' "$work/changes" | median) ms," \
    "resident then $(awk '$1 == "prepared" { print $3 }' "$work/changes" | median) MB, after the rounds $(awk '$1 == "resident" { print $2 }' "$work/changes" | median) MB"
  while read -r from to; do
    first=$(awk -v f="$from" -v t="$to" '$1 == "change" && $2 == f && $3 == t && $4 == 1 { print $5 }' "$work/changes" | median)
    faults=$(awk -v f="$from" -v t="$to" '$1 == "change" && $2 == f && $3 == t && $4 == 1 { print $6 }' "$work/changes" | median)
    again=$(awk -v f="$from" -v t="$to" '$1 == "change" && $2 == f && $3 == t && $4 > 1 { print $5 }' "$work/changes" | median)
    worst=$(awk -v a="$first" -v b="$again" 'BEGIN { printf "%.1f", (a > b ? a : b) }')
    verdict "$from -> $to, $label" "$worst" 16
    printf '  %-9s -> %-9s  first %6.1f (%5d page faults)  again %6.1f  %s\n' \
      "$from" "$to" "$first" "$faults" "$again" "$met"
  done < <(awk '$1 == "change" && !seen[$2 " " $3]++ { print $2, $3 }' "$work/changes")
}

# The screen changes on a 1920 x 1080 display: at 100 %, at a scaling of 150 % and with the
# pupils' text at 150 %.
wide_screens() {
  echo '{"screens":[{"name":"wide","x":0,"y":0,"width":1920,"height":1080,"logicalDpi":96}]}' >"$work/wide.json"
  local wide="QT_QPA_PLATFORM=offscreen:configfile=$work/wide.json"
  screens "offscreen 1920x1080" "$wide"
  screens "offscreen 1920x1080, scaling 150 %" "$wide" QT_SCALE_FACTOR=1.5
  screens "offscreen 1920x1080, text 150 %" "$wide" -- --text 150
}

# xvfb_display <screen>: starts an X server of the given screen ("1920x1080x24") and sets
# $display to it.
display=
xvfb_display() {
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  display=":$(head -n1 "$work/display")"
}

# startup <label> <env...>: the program's start screen and the empty-window floor, in turn
# fifteen times each, so both see the same load; prints the medians and their ratio. Each is
# timed from its launch: the moment is taken in the subshell that then becomes the program.
# Both run on the same processor: the cores of a virtual machine can differ in speed, and
# the scheduler would give one program the slow core for a while, the other program next.
startup() {
  local label=$1
  shift
  local i prog floor
  : >"$work/prog" && : >"$work/floor"
  local program cpu
  cpu=$(taskset -pc $$ | sed 's/.*: //; s/[-,].*//')
  for i in $(seq 15); do
    for program in "$b/quorvane_test" "$b/bench/emptywindow"; do
      (cd "$work" && for e in "$@"; do export "${e?}"; done && taskset -pc "$cpu" "$BASHPID" >/dev/null &&
        export QUORVANE_STARTUP_PROBE="${EPOCHREALTIME/[^0-9]/}" && exec "$program" 2>/dev/null) |
        awk '{ print $4 }' >>"$work/$([ "$program" = "$b/quorvane_test" ] && echo prog || echo floor)"
    done
  done
  prog=$(median <"$work/prog")
  floor=$(median <"$work/floor")
  local ratio
  ratio=$(awk -v p="$prog" -v f="$floor" 'BEGIN { printf "%.2f", p / f }')
  verdict "start-up / empty window, $label" "$ratio" 1.3
  echo "start-up, $label: start screen $prog ms, empty window $floor ms (medians of 15), ratio $ratio: $met"
}

if [ "$only" = startup ]; then
  (cd "$work" && "$b/mkquorvane" Perquorvane >/dev/null)
  startup offscreen QT_QPA_PLATFORM=offscreen
  if command -v Xvfb >/dev/null; then
    xvfb_display 1024x768x24
    startup "X server" DISPLAY="$display" QT_QPA_PLATFORM=xcb
  fi
  end_with_aims
fi
if [ "$only" = screens ]; then
  screens offscreen QT_QPA_PLATFORM=offscreen
  wide_screens
  if command -v Xvfb >/dev/null; then
    # The lab's own window system: an X server of the same 1920 x 1080.
    xvfb_display 1920x1080x24
    screens "X server 1920x1080" DISPLAY="$display" QT_QPA_PLATFORM=xcb
  fi
  end_with_aims
fi

gb=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)

# The school year: medians of five runs, in ms, against their absolute aims (a past year's
# class within the archive's aim for matrice).
year_benchmarks() {
  "$b/bench/bench_year" "${gb[@]}" --benchmark_out="$work/year.csv" --benchmark_out_format=csv >/dev/null 2>&1 || true
  local name aim label ms
  while read -r name aim label; do
    ms=$(awk -v r="$(counter "$name" real_time "$work/year.csv")" 'BEGIN { if (r == "") print "nan"; else printf "%.1f", r }')
    verdict "$label, ms" "$ms" "$aim"
    echo "$label: $ms ms (median of 5): $met"
  done <<'AIMS'
BM_CloseYear/iterations:3 2000 school year closed, 10 x 30 pupils with answers
BM_PastYearClass 5 past year's class opened, matrice of 30
BM_CompareFiveYears 200 comparison with five past years
AIMS
}
if [ "$only" = year ]; then
  year_benchmarks
  end_with_aims
fi
if [ "$only" = server ]; then
  server_benchmarks
  end_with_aims
fi

"$b/bench/bench_storage" "${gb[@]}" --benchmark_filter='Seek|MoveNext|StorePupil|AddNew' 2>/dev/null | grep -E "median|Benchmark"
"$b/bench/bench_archive" "${gb[@]}" --benchmark_filter='-Server' 2>/dev/null | grep -E "median|Benchmark"
"$b/bench/bench_insight" "${gb[@]}" 2>/dev/null | grep -E "median|Benchmark"
year_benchmarks

# A store and its floor, a bare prepared UPDATE of the same fields, taking turns in one
# benchmark so that both meet the same load; the medians of its counters. Every write gives
# its row new values, so both write a page and sync the log.
"$b/bench/bench_storage" "${gb[@]}" --benchmark_filter='^BM_StoreAgainstBareUpdate' \
  --benchmark_out="$work/store.csv" --benchmark_out_format=csv >/dev/null 2>&1
for n in 100 10000; do
  store=$(counter "BM_StoreAgainstBareUpdate/$n" store_ms)
  floor=$(counter "BM_StoreAgainstBareUpdate/$n" bare_ms)
  ratio=$(counter "BM_StoreAgainstBareUpdate/$n" ratio)
  ratio=$(awk -v r="$ratio" 'BEGIN { printf "%.2f", r }')
  verdict "store / bare UPDATE, $n records" "$ratio" 1.5
  printf 'store, %s records: %.3f ms, bare UPDATE %.3f ms (medians of 5), ratio %s: %s\n' \
    "$n" "$store" "$floor" "$ratio" "$met"
done

server_benchmarks

(cd "$work" && "$b/mkquorvane" Perquorvane >/dev/null)

startup offscreen QT_QPA_PLATFORM=offscreen
screens offscreen QT_QPA_PLATFORM=offscreen
wide_screens
if command -v Xvfb >/dev/null; then
  # The same on an X server, as on a lab computer; Xvfb picks a free display.
  xvfb_display 1024x768x24
  startup "X server" DISPLAY="$display" QT_QPA_PLATFORM=xcb
  screens "X server" DISPLAY="$display" QT_QPA_PLATFORM=xcb
fi

end_with_aims
