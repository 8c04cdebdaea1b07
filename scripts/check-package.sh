#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks it: lintian finds no error;
# the package holds the programs, the desktop entry, the icons, the manual pages and the
# metainfo, and those files are valid; extracted into a scratch root, its programs run
# with the system's libraries alone: korva-db creates a demonstration database, korva
# answers --help without a display and, on its first start, creates the default database
# with the korva-db beside it.
# Usage: scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh" --package
start=$SECONDS
deb=$("$here/scripts/package.sh" "$@" | tail -n 1)
echo "check-package: $deb built in $((SECONDS - start)) s"
failed=0
fail() {
  echo "check-package: FALHOU: $*" >&2
  failed=1
}

echo "check-package: lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian encontrou erros"

echo "check-package: file list"
list=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in usr/bin/korva usr/bin/korva-db usr/share/applications/korva.desktop \
         usr/share/metainfo/korva.metainfo.xml usr/share/icons/hicolor/scalable/apps/korva.svg \
         usr/share/man/man1/korva.1.gz usr/share/man/man1/korva-db.1.gz \
         usr/share/doc/korva/copyright usr/share/doc/korva/changelog.gz; do
  grep -qx "\./$f" <<< "$list" || fail "o pacote não tem /$f"
done
for size in 16 24 32 48 64 128 256; do
  grep -qx "\./usr/share/icons/hicolor/${size}x${size}/apps/korva.png" <<< "$list" ||
    fail "o pacote não tem o ícone ${size}x${size}"
done

root=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2> /dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$root/pkg"
echo "check-package: desktop entry, metainfo, manual pages"
desktop-file-validate "$root/pkg/usr/share/applications/korva.desktop" || fail "entrada de menu inválida"
# The component is "korva", as the program, its desktop entry and its icon are: there is no
# domain of its own to name it after in reverse.
appstreamcli validate --no-net --explain --override=cid-desktopapp-is-not-rdns=info \
  "$root/pkg/usr/share/metainfo/korva.metainfo.xml" || fail "metainfo inválido"
for page in korva korva-db; do
  warnings=$(MANWIDTH=80 man --warnings -l "$root/pkg/usr/share/man/man1/$page.1.gz" 2>&1 > "$root/$page.txt") ||
    fail "man $page falhou"
  [ -z "$warnings" ] || fail "man $page: $warnings"
  grep -q "^NOME" "$root/$page.txt" || fail "man $page não mostra a seção NOME"
done

echo "check-package: the programs from the extracted package"
# The system's libraries alone, no display, and a home of its own.
run=(env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY -u KORVA_DATABASE -u KORVA_USER -u KORVA_PASSWORD
     -u FIREBIRD_LOCK HOME="$root/home" KORVA_HOME="$root/home/korva")
mkdir -p "$root/home"
"${run[@]}" "$root/pkg/usr/bin/korva-db" create --demo "$root/home/DEMO.GDB" || fail "korva-db create --demo falhou"
[ -s "$root/home/DEMO.GDB" ] || fail "korva-db create --demo não criou o banco"
help=$("${run[@]}" "$root/pkg/usr/bin/korva" --help) || fail "korva --help falhou"
grep -q -- "--administracao" <<< "$help" || fail "korva --help não lista --administracao"

# The first start: no database yet, so the program has korva-db make it, says so in a
# box, and waits there; a SIGTERM then ends it.
"${run[@]}" QT_QPA_PLATFORM=offscreen "$root/pkg/usr/bin/korva" > "$root/korva.log" 2>&1 &
pid=$!
for _ in $(seq 1 240); do
  # Made, and korva-db gone: the box is up.
  [ -s "$root/home/korva/KORVA.GDB" ] && [ -z "$(ps --ppid "$pid" -o pid=)" ] && break
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.5
done
sleep 1
[ -s "$root/home/korva/KORVA.GDB" ] || fail "o primeiro início não criou $root/home/korva/KORVA.GDB"
kill -TERM "$pid" 2> /dev/null || fail "korva terminou no primeiro início"
wait "$pid" || fail "korva terminou com erro no primeiro início: $(cat "$root/korva.log")"
pid=

if [ "$failed" -ne 0 ]; then
  echo "check-package: o pacote $deb tem problemas (veja acima)" >&2
  exit 1
fi
echo "check-package: $deb ok, em $((SECONDS - start)) s"
