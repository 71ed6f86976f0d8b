#!/usr/bin/env bash
# Checks a Debian package made by tools/package.sh the way the distribution does:
# every file it must ship is in it, desktop-file-validate on the desktop entry,
# appstreamcli on the AppStream metadata, lintian on the package (errors and
# warnings fail; overrides shipped in the package are honoured), and
# "man --warnings" on both manual pages. Installs the checkers when missing.
# Argument: the .deb (default: the one in build-release/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh lintian appstream desktop-file-utils man-db
deb=${1:-$(ls build-release/q815evm_*.deb)}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

required=(
  usr/bin/q815evm usr/bin/q815ctl
  usr/lib/udev/rules.d/70-q815evm.rules
  usr/share/applications/q815evm.desktop
  usr/share/icons/hicolor/128x128/apps/q815evm.png
  usr/share/man/man1/q815evm.1.gz usr/share/man/man1/q815ctl.1.gz
  usr/share/bash-completion/completions/q815ctl
  usr/share/doc/q815evm/copyright
)
for file in "${required[@]}"; do
  [ -s "$tmp/$file" ] || fail "$file is missing from the package"
done
metainfo=("$tmp"/usr/share/metainfo/*.metainfo.xml)
[ -s "${metainfo[0]}" ] || fail "no AppStream metadata in usr/share/metainfo"
for script in postinst postrm; do
  dpkg-deb --info "$deb" "$script" >/dev/null 2>&1 || fail "no $script in the package"
done

echo "== desktop-file-validate"
desktop-file-validate "$tmp/usr/share/applications/q815evm.desktop" || fail "desktop-file-validate"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "${metainfo[@]}" || fail "appstreamcli validate"
echo "== lintian"
lintian --fail-on error,warning "$deb" || fail "lintian"
echo "== man --warnings"
for page in q815evm q815ctl; do
  file="$tmp/usr/share/man/man1/$page.1.gz"
  [ -s "$file" ] || continue
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null) \
    || fail "man cannot show $page.1: $warnings"
  [ -z "$warnings" ] || fail "man --warnings on $page.1: $warnings"
done

[ "$failed" = 0 ] || exit 1
echo "package checks passed: $(basename "$deb")"
