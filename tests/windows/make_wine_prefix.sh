#!/bin/sh
# Makes the Wine prefix $WINEPREFIX afresh, opening no window, and waits until
# Wine's server has ended: only then is the registry written out, and nothing
# of Wine's left running.
# Usage: make_wine_prefix.sh WINE64 WINESERVER
set -eu
# Wine 10 aborts, wineserver too, whenever TMPDIR is in its environment.
unset DISPLAY WAYLAND_DISPLAY TMPDIR
rm -rf "$WINEPREFIX"
"$1" wineboot -i </dev/null
# The null display driver: with no display, the others would each say on
# standard error, now and then, that they found none.
"$1" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null
"$2" -w </dev/null
