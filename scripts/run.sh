#!/usr/bin/env bash
# Installs, builds, creates the default database with demonstration data when there is
# none, and starts KORVA.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" "$here/build"
home=${KORVA_HOME:-$HOME/korva}
database=${KORVA_DATABASE:-$home/KORVA.GDB}
if [ ! -e "$database" ]; then
  "$here/build/tools/korva-db/korva-db" create --demo "$database"
fi
exec "$here/build/src/app/korva"
