#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests, on a local port.
#
#   scripts/pg-cluster.sh start DIR [PORT]   makes (once) and starts the cluster in DIR
#                                            (started again: on its last port by default)
#   scripts/pg-cluster.sh stop DIR           stops it
#   scripts/pg-cluster.sh env DIR            prints KRONT_TEST_PG='...' (the connection) and
#                                            KRONT_TEST_PG_DIR='...' (DIR, for the scenarios
#                                            that stop and start the server) for the tests
#
# The server runs as an unprivileged user: as root, the system user kront-pg
# (made when missing); otherwise as yourself. It listens on 127.0.0.1:PORT
# (default 55432) and on a socket inside the cluster's folder, trusts every
# local connection (no passwords: the cluster is for tests only) and keeps
# fsync on, since the durability test relies on it. The role `kront` (may
# create databases) owns the database `kront`; the tests connect as it and
# make a database of their own per home.
#
# Starting a running cluster and stopping a stopped one do nothing. Use it as
#   scripts/pg-cluster.sh start "$PWD/build-pg"
#   eval "export $(scripts/pg-cluster.sh env "$PWD/build-pg")"
set -euo pipefail

usage() {
  echo "usage: $0 start DIR [PORT] | stop DIR | env DIR" >&2
  exit 2
}

[ $# -ge 2 ] || usage
command=$1
dir=$2
default_port=55432
server_user=kront-pg

die() {
  echo "pg-cluster: $*" >&2
  exit 1
}

# The newest server binaries installed.
server_bin() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  [ -n "$bin" ] && [ -x "$bin/pg_ctl" ] ||
    die "no PostgreSQL server in /usr/lib/postgresql/*/bin (Debian package postgresql)"
  echo "$bin"
}

# Runs a command as the cluster's owner.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$server_user" -- "$@"
  else
    "$@"
  fi
}

owner_name() {
  if [ "$(id -u)" -eq 0 ]; then echo "$server_user"; else id -un; fi
}

ensure_server_user() {
  [ "$(id -u)" -eq 0 ] || return 0
  id "$server_user" >/dev/null 2>&1 && return 0
  useradd --system --user-group --no-create-home --home-dir /nonexistent \
    --shell /usr/sbin/nologin "$server_user"
}

# The folder the server works in: DIR/cluster, or, when the owner cannot
# reach DIR (a root-only checkout) or its socket path would be too long for
# a unix socket, a folder under /tmp that DIR/cluster links to.
cluster_dir() {
  # A link to a folder under /tmp that is gone (a restart) is made again.
  if [ -L "$dir/cluster" ] && [ ! -e "$dir/cluster" ]; then
    [ "$1" = make ] || return 0
    rm "$dir/cluster"
  fi
  if [ -e "$dir/cluster" ]; then
    readlink -f "$dir/cluster"
    return
  fi
  [ "$1" = make ] || return 0
  mkdir -p "$dir"
  local real="$dir/cluster"
  if [ ${#real} -gt 70 ] || ! as_owner test -x "$dir" 2>/dev/null; then
    real=$(mktemp -d /tmp/kront-pg.XXXXXX)
    ln -s "$real" "$dir/cluster"
  else
    mkdir "$real"
  fi
  [ "$(id -u)" -eq 0 ] && chown "$server_user:" "$real"
  chmod 700 "$real"
  readlink -f "$dir/cluster"
}

is_running() {
  [ -f "$1/data/PG_VERSION" ] && as_owner "$bin/pg_ctl" -D "$1/data" status >/dev/null 2>&1
}

sql() { # port, socket dir, statement
  psql -X -q -v ON_ERROR_STOP=1 -h "$2" -p "$1" -U "$(owner_name)" -d postgres -tAc "$3"
}

start() {
  local port=${1:-}
  bin=$(server_bin)
  ensure_server_user
  local real
  real=$(cluster_dir make)
  # Started again without a port: on the one it had, which KRONT_TEST_PG names.
  if [ -z "$port" ]; then
    port=$default_port
    [ ! -f "$real/port" ] || port=$(cat "$real/port")
  fi
  [[ $port =~ ^[0-9]+$ ]] || die "not a port: $port"
  if is_running "$real"; then
    echo "pg-cluster: already running in $real (port $(cat "$real/port"))"
    return 0
  fi
  if [ ! -f "$real/data/PG_VERSION" ]; then
    as_owner "$bin/initdb" -D "$real/data" --auth=trust --encoding=UTF8 --no-locale \
      --no-sync >"$real/initdb.log" 2>&1 || { cat "$real/initdb.log" >&2; die "initdb failed"; }
  fi
  as_owner mkdir -p "$real/socket"
  as_owner tee "$real/data/postgresql.auto.conf" >/dev/null <<EOF
# Written by scripts/pg-cluster.sh at each start.
listen_addresses = '127.0.0.1'
port = $port
unix_socket_directories = '$real/socket'
fsync = on
synchronous_commit = on
max_connections = 100
EOF
  echo "$port" | as_owner tee "$real/port" >/dev/null
  if ! as_owner "$bin/pg_ctl" -D "$real/data" -l "$real/server.log" -w -t 60 start >/dev/null; then
    tail -n 20 "$real/server.log" >&2 || true
    die "the server did not start (port $port taken?)"
  fi
  if [ -z "$(sql "$port" "$real/socket" "SELECT 1 FROM pg_roles WHERE rolname = 'kront'")" ]; then
    sql "$port" "$real/socket" "CREATE ROLE kront LOGIN CREATEDB CREATEROLE"
  fi
  # Dropping a test database with whatever is connected to it (FORCE) may
  # have to end an autovacuum worker there too.
  sql "$port" "$real/socket" "GRANT pg_signal_backend TO kront"
  if [ -z "$(sql "$port" "$real/socket" "SELECT 1 FROM pg_database WHERE datname = 'kront'")" ]; then
    sql "$port" "$real/socket" "CREATE DATABASE kront OWNER kront"
  fi
  echo "pg-cluster: running in $real on 127.0.0.1:$port"
}

stop() {
  local real
  real=$(cluster_dir find)
  [ -n "$real" ] || return 0
  bin=$(server_bin)
  is_running "$real" || return 0
  as_owner "$bin/pg_ctl" -D "$real/data" -m fast -w stop >/dev/null
  echo "pg-cluster: stopped $real"
}

env_line() {
  local real
  real=$(cluster_dir find)
  [ -n "$real" ] && [ -f "$real/port" ] || die "no cluster in $dir (start it first)"
  echo "KRONT_TEST_PG='host=127.0.0.1 port=$(cat "$real/port") user=kront dbname=kront'" \
    "KRONT_TEST_PG_DIR='$(cd "$dir" && pwd)'"
}

case $command in
start) start "${3:-}" ;;
stop) stop ;;
env) env_line ;;
*) usage ;;
esac
