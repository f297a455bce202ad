#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that every file lands where desktops
# look for it, and that the desktop entry and the catalogue metadata are valid.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/statwright bin/statwright-cli \
            share/applications/statwright.desktop \
            share/icons/hicolor/scalable/apps/statwright.svg \
            share/metainfo/io.github.statwright.Statwright.metainfo.xml; do
    [ -e "$prefix/$file" ] || { echo "missing after install: $file"; exit 1; }
done
[ -x "$prefix/bin/statwright" ] && [ -x "$prefix/bin/statwright-cli" ]
# The program opens images through its own dialog and takes no file on its command line, so
# it must not offer itself for .nds files.
if grep -q '^MimeType=' "$prefix/share/applications/statwright.desktop" ||
   grep -q '<mediatype>' "$prefix/share/metainfo/io.github.statwright.Statwright.metainfo.xml"; then
    echo "the desktop files claim file types the program cannot open from a file manager"
    exit 1
fi

desktop-file-validate "$prefix/share/applications/statwright.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.statwright.Statwright.metainfo.xml"
"$prefix/bin/statwright-cli" --help >/dev/null
echo "installed and valid"
