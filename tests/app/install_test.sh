#!/bin/sh
# cmake --install into a scratch prefix puts the programs, the desktop entry,
# the icon and the AppStream metadata in place, and the entry and metadata
# pass their validators.
# Usage: install_test.sh BUILD_DIR
set -eu
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
for file in bin/vendrake bin/vendrake-cli \
    share/applications/org.vendrake.Vendrake.desktop \
    share/metainfo/org.vendrake.Vendrake.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.vendrake.Vendrake.svg; do
  [ -f "$prefix/$file" ] || { echo "missing: $file"; exit 1; }
done
[ -x "$prefix/bin/vendrake" ] || { echo "bin/vendrake is not executable"; exit 1; }
desktop-file-validate "$prefix/share/applications/org.vendrake.Vendrake.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.vendrake.Vendrake.metainfo.xml"
