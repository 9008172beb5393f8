#!/bin/sh
# Makes the Wine prefix $WINEPREFIX afresh, and waits until Wine's server has
# ended: only then is the registry written out, and nothing of Wine's left
# running. No window may open.
# Usage: make_wine_prefix.sh WINE64 WINESERVER
set -eu
unset DISPLAY WAYLAND_DISPLAY
exec </dev/null
rm -rf "$WINEPREFIX"
"$1" wineboot -i
"$2" -w
