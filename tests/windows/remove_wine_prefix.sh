#!/bin/sh
# Removes the Wine prefix $WINEPREFIX once Wine's server in it has ended.
# Usage: remove_wine_prefix.sh WINESERVER
set -eu
[ ! -d "$WINEPREFIX" ] || "$1" -w
rm -rf "$WINEPREFIX"
