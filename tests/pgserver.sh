#!/usr/bin/env bash
# A private PostgreSQL server for the tests: start|stop <folder>. The server listens only on a Unix
# socket in <folder>; initdb refuses root, so as root it runs as the postgres user (or nobody).
# run <folder> <suite...>: runs a suite against a database of its own, dropped afterwards.
set -euo pipefail
cmd=$1 dir=$2
shift 2
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "PostgreSQL sunucu programları yok (postgresql paketi): sunucu sınamaları atlandı"
  exit 0
fi
as=()
if [ "$(id -u)" -eq 0 ]; then
  user=postgres
  id -u postgres >/dev/null 2>&1 || user=nobody
  as=(runuser -u "$user" --)
fi
case $cmd in
start)
  "$0" stop "$dir" >/dev/null 2>&1 || true
  rm -rf "$dir" && mkdir -p "$dir" && chmod 700 "$dir"
  [ ${#as[@]} -eq 0 ] || chown "$user" "$dir"
  "${as[@]}" "$bin/initdb" -D "$dir/data" -U postgres --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
  "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-k $dir -p 5432 -c listen_addresses= -c fsync=off -c max_connections=200" start >/dev/null
  ;;
stop)
  [ -d "$dir/data" ] && "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
  rm -rf "$dir"
  ;;
run)
  if [ ! -d "$dir/data" ]; then echo "özel sunucu çalışmıyor: atlandı"; exit 0; fi
  db="t_$(basename "$1")_$$"
  "$bin/psql" -qAt -h "$dir" -U postgres -d postgres -c "CREATE DATABASE $db" >/dev/null
  trap '"$bin/psql" -qAt -h "$dir" -U postgres -d postgres -c "DROP DATABASE IF EXISTS $db WITH (FORCE)" >/dev/null' EXIT
  SALONYA_SERVER="host=$dir port=5432 user=postgres dbname=$db" "$@"
  ;;
esac
