#!/usr/bin/env bash
# A Firebird 3 server of its own, for the tests and the benchmarks: a normal process (no
# service manager needed), listening on a free loopback port, with its own configuration,
# security database, lock folder and log, all inside DIR. Its SYSDBA has a random password.
#
#   firebird-server.sh start DIR   starts it and writes DIR/servidor.env (mode 0600):
#                                    KORVA_TEST_SERVER=127.0.0.1/<port>
#                                    KORVA_TEST_SERVER_USER=SYSDBA
#                                    KORVA_TEST_SERVER_PASSWORD=<password>
#   firebird-server.sh stop DIR    stops it.
#
# When no server can be started (the Debian package firebird3.0-server is not installed,
# or the server does not come up), start writes the reason into DIR/indisponivel and
# exits 0, so that the tests that need a server say they were skipped and why; with
# KORVA_REQUIRE_SERVER=1 (CI) it exits 1 instead.
set -euo pipefail

command=${1:-}
dir=${2:-}
if [ -z "$command" ] || [ -z "$dir" ]; then
  echo "uso: $0 start|stop PASTA" >&2
  exit 2
fi
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
server=${FIREBIRD_SERVER:-/usr/sbin/firebird}
fbroot=/usr/lib/x86_64-linux-gnu/firebird/3.0
security_sql=/usr/share/firebird/3.0/security.sql

# The pid of our server in DIR, if it still runs.
running() {
  local pid
  pid=$(cat "$dir/firebird.pid" 2>/dev/null) || return 1
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
  # A pid the system gave to another program since is not ours.
  tr '\0' ' ' < "/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "-e $dir " || return 1
  echo "$pid"
}

stop() {
  local pid
  if pid=$(running); then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -f "$dir/firebird.pid" "$dir/servidor.env"
}

unavailable() {
  stop
  echo "$1" > "$dir/indisponivel"
  echo "firebird-server: $1" >&2
  if [ "${KORVA_REQUIRE_SERVER:-}" = 1 ]; then exit 1; fi
  exit 0
}

listening() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

case "$command" in
  stop)
    stop
    exit 0
    ;;
  start) ;;
  *)
    echo "uso: $0 start|stop PASTA" >&2
    exit 2
    ;;
esac

stop
rm -f "$dir/indisponivel"
for f in "$server" "$security_sql"; do
  [ -e "$f" ] || unavailable "o servidor Firebird 3 não está instalado ($f não existe; pacote firebird3.0-server)"
done
command -v isql-fb > /dev/null || unavailable "isql-fb não está instalado (pacote firebird3.0-utils)"

# The server's root: our configuration beside the system's plugins. The character sets'
# module is copied, not linked: the engine finds it again by its real path.
rm -rf "$dir/lock" "$dir/intl" "$dir/security3.fdb"
mkdir -p "$dir/lock" "$dir/intl"
cp "$fbroot/intl/libfbintl.so" "$fbroot/intl/fbintl.conf" "$dir/intl/"
ln -sfn "$fbroot/plugins" "$dir/plugins"
ln -sfn "$fbroot/firebird.msg" "$dir/firebird.msg"
echo "security.db = $dir/security3.fdb" > "$dir/databases.conf"

write_conf() {
  cat > "$dir/firebird.conf" <<EOF
RemoteServicePort = $1
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $dir/security3.fdb
DatabaseAccess = Full
UdfAccess = None
AuthServer = Srp
UserManager = Srp
EOF
}
write_conf 0

# The security database, made with the embedded engine as the Debian package makes its own.
password=$(head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | head -c 20)
export FIREBIRD="$dir" FIREBIRD_LOCK="$dir/lock"
{
  echo "create database '$dir/security3.fdb';" | isql-fb -q
  isql-fb -q -user SYSDBA -i "$security_sql" "$dir/security3.fdb"
  echo "create or alter user SYSDBA password '$password' using plugin Srp; commit;" | isql-fb -q -user SYSDBA "$dir/security3.fdb"
} > "$dir/security.log" 2>&1 || unavailable "não foi possível criar o banco de segurança do servidor (veja $dir/security.log)"

# A free port, near one that depends on the folder, so that two build folders differ.
base=$((20000 + $(printf %s "$dir" | cksum | cut -d' ' -f1) % 20000))
for attempt in 1 2 3 4 5; do
  port=$base
  while listening "$port"; do port=$((port + 1)); done
  write_conf "$port"
  setsid "$server" -e "$dir" -el "$dir/lock" < /dev/null > "$dir/server.log" 2>&1 &
  echo $! > "$dir/firebird.pid"
  for _ in $(seq 1 100); do
    listening "$port" && break
    kill -0 "$(cat "$dir/firebird.pid")" 2>/dev/null || break
    sleep 0.1
  done
  if listening "$port" && running > /dev/null; then
    (umask 077 && cat > "$dir/servidor.env" <<EOF
KORVA_TEST_SERVER=127.0.0.1/$port
KORVA_TEST_SERVER_USER=SYSDBA
KORVA_TEST_SERVER_PASSWORD=$password
EOF
    )
    echo "firebird-server: servidor Firebird em 127.0.0.1/$port (pasta $dir)"
    exit 0
  fi
  stop
  base=$((port + 1))
done
unavailable "o servidor Firebird não começou a atender (veja $dir/server.log)"
