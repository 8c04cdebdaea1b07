#!/usr/bin/env bash
# Installs every Debian 12 package KORVA needs to build, test and run. With --server, also
# the Firebird 3 server, which the tests start as a process of their own
# (scripts/firebird-server.sh); the package's system service is not started. With
# --package, also the tools that check the Debian package (scripts/check-package.sh).
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-ibase qt6-charts-dev libqt6opengl6-dev libgl-dev qt6-translations-l10n
  firebird3.0-server-core firebird3.0-utils firebird-dev libfbclient2
  fonts-liberation fonts-dejavu-core
  xvfb xauth imagemagick poppler-utils
  clang libclang-rt-14-dev
)
for option in "$@"; do
  case "$option" in
    --server) PACKAGES+=(firebird3.0-server) ;;
    --package) PACKAGES+=(lintian desktop-file-utils appstream man-db procps) ;;
    *) echo "uso: $0 [--server] [--package]" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi
echo "install-deps: installing ${missing[*]}"
# Installing the server would start its system service; nothing here needs it, and a
# machine without a service manager could fail the installation. The standard way to
# keep a package's service from starting is a policy-rc.d that forbids it, for as long
# as the installation lasts.
policy=/usr/sbin/policy-rc.d
if [[ " ${missing[*]} " == *" firebird3.0-server "* ]] && [ ! -e "$policy" ]; then
  printf '#!/bin/sh\n# Put here by KORVA'"'"'s install-deps.sh while it installs packages.\nexit 101\n' | $SUDO tee "$policy" > /dev/null
  $SUDO chmod 755 "$policy"
  trap '$SUDO rm -f "$policy"' EXIT
fi
$SUDO apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
