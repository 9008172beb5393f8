#!/bin/sh
# Packs a Windows build into a scratch folder and checks that it makes the
# one zip named, holding the two deliverables exactly as built, the README
# and the licence, and nothing else.
# Usage: check_package.sh CPACK CMAKE BUILD_FOLDER SCRATCH_FOLDER ZIP_NAME
set -eu
cpack=$1 cmake=$2 build=$3 scratch=$4 zip_name=$5

rm -rf "$scratch"
mkdir -p "$scratch/unpacked"
"$cpack" --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" ||
  { cat "$scratch/cpack.log" >&2; exit 1; }
zips=$(cd "$scratch" && find . -maxdepth 1 -name '*.zip' | sed 's|^\./||')
if [ "$zips" != "$zip_name" ]; then
  echo "expected $zip_name in $scratch, found: $zips" >&2
  exit 1
fi

(cd "$scratch/unpacked" && "$cmake" -E tar xf "../$zip_name")
listing=$(cd "$scratch/unpacked" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')
expected="LICENSE README.md raidvol-nosize.exe raidvol-sized.exe "
if [ "$listing" != "$expected" ]; then
  echo "$zip_name holds: $listing; expected: $expected" >&2
  exit 1
fi
for program in raidvol-nosize.exe raidvol-sized.exe; do
  cmp "$build/$program" "$scratch/unpacked/$program" ||
    { echo "$zip_name: $program differs from the build's" >&2; exit 1; }
done
echo "$zip_name holds $listing"
