#!/usr/bin/env bash
# Installs the Debian package built from the tested build, uses it as a user would from a
# temporary folder, validates its desktop entry and AppStream file, then purges it.
# usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "${1:?usage: scripts/check-package.sh PACKAGE.deb}")
sample=$(realpath "$(dirname "$0")/../examples/sample-sales.xlsx")
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y -qq "$deb" >/dev/null
trap '$SUDO apt-get purge -y -qq morvane >/dev/null' EXIT
[ "$(command -v morvane)" = /usr/bin/morvane ] || { echo "morvane is not /usr/bin/morvane" >&2; exit 1; }
morvane --version
work=$(mktemp -d)
cp "$sample" "$work/"
(cd "$work" && morvane list sample-sales.xlsx >/dev/null && morvane paste sample-sales.xlsx deck.pptx)
desktop-file-validate /usr/share/applications/org.morvane.Morvane.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.morvane.Morvane.metainfo.xml
test -f /usr/share/morvane/help/index.html
test -f /usr/share/man/man1/morvane.1.gz
test -f /usr/share/bash-completion/completions/morvane
rm -rf "$work"
echo "package checked: $(basename "$deb")"
