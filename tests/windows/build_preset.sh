#!/bin/sh
# Builds a preset in its folder, configured from the preset each time so that
# its settings stay in force, and afresh if the folder was configured
# elsewhere.
# Usage: build_preset.sh CMAKE SOURCE PRESET BUILD_FOLDER
set -eu
cmake=$1 source=$2 preset=$3 build=$4
# shellcheck disable=SC2046 # the word is --fresh, or nothing
"$cmake" -S "$source" --preset "$preset" -B "$build" $(sh "$source/scripts/fresh-if-moved" "$build")
exec "$cmake" --build "$build"
