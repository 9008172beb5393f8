#!/bin/sh
# Makes a fresh Wine prefix for the tests ("make"), or removes it ("remove").
# Either way it waits until Wine's server has ended: only then is the prefix's
# registry written out, and nothing of Wine's is left running. Where Wine's
# 32-bit half can run, the prefix gets it too, so one prefix serves the
# 64-bit and the 32-bit programs.
# Usage: wine_prefix.sh make|remove WINE64 WINESERVER PREFIX
set -eu
action=$1 wine64=$2 wineserver=$3 prefix=$4

export WINEPREFIX="$prefix" WINEDEBUG=-all
# Where 32-bit programs are emulated, larger pages make each Wine process
# start in seconds rather than a minute.
export QEMU_PAGESIZE=65536
# No window may open, nor a prompt to fetch the .NET or HTML engines.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

case $action in
make)
  rm -rf "$prefix"
  "$wine64" wineboot -i </dev/null
  "$wineserver" -w </dev/null
  ;;
remove)
  [ -d "$prefix" ] && "$wineserver" -w </dev/null
  rm -rf "$prefix"
  ;;
*)
  echo "usage: $0 make|remove WINE64 WINESERVER PREFIX" >&2
  exit 2
  ;;
esac
