#!/usr/bin/env bash
# Builds the Debian package (scripts/build-deb.sh) and holds it to Debian's conventions: lintian,
# desktop-file-validate on its desktop entries and appstreamcli validate on its metainfo. Any
# error or warning fails, and so does a hint of desktop-file-validate; lintian's informational
# tags are shown. The package's version must be the changelog's and the metainfo's newest.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

DEB="$("$ROOT/scripts/build-deb.sh" | tail -n1)"
echo "== $DEB"
status=0

echo "== lintian"
lintian --display-info --fail-on error,warning "$DEB" || status=1

TREE="$(mktemp -d)"
trap 'rm -rf "$TREE"' EXIT
dpkg-deb -x "$DEB" "$TREE"

echo "== desktop-file-validate"
entries=("$TREE"/usr/share/applications/*.desktop)
[ -e "${entries[0]}" ] || { echo "no desktop entry in the package"; status=1; }
for entry in "${entries[@]}"; do
    [ -e "$entry" ] || continue
    # It exits 0 on hints; they count here too.
    out="$(desktop-file-validate "$entry" 2>&1)" || status=1
    if [ -n "$out" ]; then echo "$out"; status=1; fi
done

echo "== appstreamcli validate"
metainfo=("$TREE"/usr/share/metainfo/*.xml)
[ -e "${metainfo[0]}" ] || { echo "no AppStream metainfo in the package"; status=1; }
for file in "${metainfo[@]}"; do
    [ -e "$file" ] || continue
    # --no-net: the screenshot and home page addresses are not fetched from CI.
    appstreamcli validate --no-net "$file" || status=1
done

echo "== versions"
version="$(dpkg-deb --field "$DEB" Version)"
changelog="$(zcat "$TREE"/usr/share/doc/px417/changelog.gz | dpkg-parsechangelog -l - -S Version)"
release="$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "${metainfo[0]}" | head -n1)"
echo "package $version, changelog $changelog, metainfo release $release"
if [ "$version" != "$changelog" ] || [ "$version" != "$release" ]; then
    echo "FAIL: the package, its changelog and its metainfo name different versions"
    status=1
fi

[ "$status" = 0 ] && echo "PASS: the package meets lintian, desktop-file-validate and appstreamcli"
exit "$status"
