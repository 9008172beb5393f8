#!/bin/sh
# Makes the Wine prefix $WINEPREFIX afresh, opening no window, and waits until
# Wine's server has ended: only then is the registry written out, and nothing
# of Wine's left running.
# Usage: make_wine_prefix.sh WINE64 WINESERVER
set -eu
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"
"$1" wineboot -i </dev/null
"$2" -w </dev/null
