#!/usr/bin/env bash
# A private PostgreSQL cluster for the tests, reached through a Unix socket in its folder, and
# with a port also over TCP on 127.0.0.1 with TLS only, with a certificate made for it
# (<dir>/server.crt, for sslrootcert; its name is 127.0.0.1) and SCRAM passwords.
#   pgcluster.sh start <dir> [port]   makes the cluster in <dir>/data and starts it
#   pgcluster.sh stop <dir>    stops it and removes <dir>
#   pgcluster.sh halt <dir>    stops the server, keeping the cluster (a server lost mid-test)
#   pgcluster.sh resume <dir>  starts it again
# Roles: "quorvane" (trust, owns database "quorvane", may create databases, acts as the owner
# role of the tables: the technician of the tests), "lettore" (trust, reads only what it is
# granted), "conpassword" (password "giusta", asked for), the program's roles
# "quorvane_proprietario" (no login), "quorvane_aula" (the lab computers, trust) and the
# teachers' group "quorvane_docenti" with one teacher "maestra" (password "lavagna", asked for).
# Wrong passwords are slowed by the server (auth_delay).
# Run as root (CI), the server runs as the unprivileged user "postgres" that Debian's package
# makes: initdb refuses to run as root. Exit 3 when the PostgreSQL binaries are missing.
set -euo pipefail
cmd=${1:-}
dir=${2:-}
port=${3:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "uso: $0 start|stop|halt|resume <cartella>" >&2; exit 2; }

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bin" ] || [ ! -x "$bin/pg_ctl" ]; then
  echo "pgcluster: PostgreSQL binaries not found under /usr/lib/postgresql" >&2
  exit 3
fi

as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  as_owner=(runuser -u postgres --)
fi

# Durability is of no use to a test cluster; speed is.
run_server() {
  local net="-c listen_addresses=''"
  if [ -f "$dir/port" ]; then
    net="-c listen_addresses=127.0.0.1 -p $(cat "$dir/port") -c ssl=on -c ssl_cert_file='$dir/server.crt' -c ssl_key_file='$dir/server.key'"
  fi
  "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
    -o "$net -k '$dir' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200 -c shared_preload_libraries=auth_delay -c auth_delay.milliseconds=300" \
    start >/dev/null
}

case "$cmd" in
start)
  if [ -d "$dir/data" ]; then
    # A cluster left by an interrupted run: stopped and made again.
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir"
  fi
  mkdir -p "$dir"
  [ ${#as_owner[@]} -gt 0 ] && chown postgres: "$dir"
  chmod 700 "$dir"
  "${as_owner[@]}" "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C --no-sync >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  cat >"$dir/data/pg_hba.conf" <<'EOF'
local all conpassword scram-sha-256
local all +quorvane_docenti scram-sha-256
local all all trust
hostssl all +quorvane_docenti 127.0.0.1/32 scram-sha-256
EOF
  if [ -n "$port" ]; then
    echo "$port" >"$dir/port"
    openssl req -new -x509 -days 2 -nodes -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
      -keyout "$dir/server.key" -out "$dir/server.crt" >"$dir/openssl.log" 2>&1 || { cat "$dir/openssl.log" >&2; exit 1; }
    chmod 600 "$dir/server.key"
    chmod 644 "$dir/server.crt"
    if [ ${#as_owner[@]} -gt 0 ]; then chown postgres: "$dir/server.key" "$dir/server.crt"; fi
  fi
  run_server
  "${as_owner[@]}" "$bin/psql" -q -h "$dir" -p "${port:-5432}" -U postgres -d postgres -v ON_ERROR_STOP=1 <<'EOF'
CREATE ROLE quorvane LOGIN CREATEDB;
CREATE ROLE lettore LOGIN;
CREATE ROLE conpassword LOGIN PASSWORD 'giusta';
CREATE ROLE quorvane_proprietario NOLOGIN;
CREATE ROLE quorvane_aula LOGIN;
CREATE ROLE quorvane_docenti NOLOGIN;
CREATE ROLE maestra LOGIN PASSWORD 'lavagna' IN ROLE quorvane_docenti;
GRANT quorvane_proprietario TO quorvane;
CREATE DATABASE quorvane OWNER quorvane;
GRANT CONNECT ON DATABASE quorvane TO lettore, conpassword;
EOF
  # The folder is the server's; the tests (run by anyone) only reach its socket.
  chmod 755 "$dir"
  echo "pgcluster: started in $dir"
  ;;
stop)
  if [ -d "$dir/data" ]; then
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
  fi
  rm -rf "$dir"
  echo "pgcluster: stopped"
  ;;
halt)
  "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
  ;;
resume)
  run_server
  ;;
*)
  echo "uso: $0 start|stop|halt|resume <cartella>" >&2
  exit 2
  ;;
esac
