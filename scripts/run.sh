#!/usr/bin/env bash
# Installs, builds, creates the default database with demonstration data when there is
# none, and starts KORVA.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" "$here/build"
home=${KORVA_HOME:-$HOME/korva}
database=${KORVA_DATABASE:-$home/KORVA.GDB}
server='^(inet[46]?://|wnet://|(\[[^]]*\]|[^/\\:]{2,})(/[^/\\:]+)?:)'
# A seat of a Firebird server, or one whose korva.conf names its database, creates nothing.
if [[ ! "$database" =~ $server ]] && { [ -n "${KORVA_DATABASE:-}" ] || ! grep -qs '^[[:space:]]*KORVA_DATABASE' "$home/korva.conf"; }; then
  if [ ! -e "$database" ]; then
    "$here/build/tools/korva-db/korva-db" create --demo "$database"
  fi
fi
exec "$here/build/src/app/korva"
