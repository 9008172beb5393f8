#!/bin/sh
# Removes the Wine prefix $WINEPREFIX once Wine's server in it has ended.
# Usage: remove_wine_prefix.sh WINESERVER
set -eu
# Wine 10's server aborts whenever TMPDIR is in its environment.
unset TMPDIR
[ ! -d "$WINEPREFIX" ] || "$1" -w
rm -rf "$WINEPREFIX"
