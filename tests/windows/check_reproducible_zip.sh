#!/bin/sh
# A commit's 32-bit zip is the same bytes from any clone: two clones, one with
# CR LF line ends (core.autocrlf), in differently named folders (one named
# with what a shell misreads), with other umasks, file times and time zones,
# pack the same bytes, and the checksum file holds. Every SOURCE_DATE_EPOCH
# that a zip can hold is taken, the range's ends too, an odd one as the even
# second before it; any other is refused, leaving no zip; an empty one
# counts as unset.
# Usage: check_reproducible_zip.sh CMAKE CPACK REPOSITORY SCRATCH
set -eu
cmake=$1 cpack=$2 repository=$3 scratch=$4
. "$(dirname "$0")/release_check_support.sh"

# CMake itself refuses ";" and '"' in the path of a source folder.
odd="$scratch/R&D O'Brien \$x (1)#%ü"
clone "$scratch/plain" 022 "2001-02-03 04:05:06" false
clone "$odd" 077 "2019-12-30 22:00:00" true
pack "$scratch/plain" EST+5
pack "$odd" JST-9
plain_zip="$scratch/plain/build/windows-x86/$zip"
cd "$odd/build/windows-x86"
cmp "$plain_zip" "$zip"
sha256sum -c "$zip.sha256"

for epoch in abc 1e9 ' 946684800' -1 315532799 4294967296; do
  SOURCE_DATE_EPOCH=$epoch refused "SOURCE_DATE_EPOCH must be a whole number" "$cpack"
  [ ! -e "$zip" ] || fail "a zip is left beside that failure"
done
SOURCE_DATE_EPOCH='' "$cpack" >/dev/null
cmp "$plain_zip" "$zip"
for epoch in 315532800 4294967295 946684801 946684800; do
  SOURCE_DATE_EPOCH=$epoch "$cpack" >/dev/null
  cp "$zip" "$scratch/$epoch.zip"
done
cmp "$scratch/946684801.zip" "$scratch/946684800.zip"
