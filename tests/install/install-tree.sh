#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks that everything a desktop needs is in its
# standard place and valid. Usage: install-tree.sh BUILD_DIR
set -euo pipefail
BUILD=$(realpath "$1")
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
ID=io.github.orvelle.Orvelle

failures=0
for file in bin/orvelle share/applications/$ID.desktop share/metainfo/$ID.metainfo.xml \
    share/icons/hicolor/scalable/apps/$ID.svg share/doc/orvelle/copyright \
    share/doc/orvelle/examples/waybar.jsonc share/doc/orvelle/examples/polybar.ini \
    share/doc/orvelle/examples/i3blocks.conf; do
    [[ -f $PREFIX/$file ]] || { echo "FAILED: missing $file"; failures=$((failures + 1)); }
done
for size in 16 24 32 48 64 128 256; do
    icon=$PREFIX/share/icons/hicolor/${size}x${size}/apps/$ID.png
    if ! file "$icon" | grep -q "$size x $size"; then
        echo "FAILED: no $size px icon"
        failures=$((failures + 1))
    fi
done
desktop-file-validate "$PREFIX/share/applications/$ID.desktop" || failures=$((failures + 1))
appstreamcli validate --no-net "$PREFIX/share/metainfo/$ID.metainfo.xml" || failures=$((failures + 1))
grep -q "<release version=\"$("$PREFIX/bin/orvelle" --version | cut -d' ' -f2)\"" \
    "$PREFIX/share/metainfo/$ID.metainfo.xml" || { echo "FAILED: versions differ"; failures=$((failures + 1)); }

echo "$((13 - failures)) passed, $failures failed"
((failures == 0))
