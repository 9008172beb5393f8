#!/bin/sh
# Packs the 32-bit zip from two copies of the source that differ in the name
# of their folder (one full of what a shell misreads), umask, file times and
# time zone, each a git checkout of the same commit, and checks that both zips
# are the same bytes, carry the commit's time, and that their checksum files
# hold for them.
# Usage: check_reproducible.sh CMAKE CPACK SOURCE_FOLDER SCRATCH_FOLDER
set -eu
cmake=$1 cpack=$2 source=$3 scratch=$4
# 2024-01-02 03:04:05 UTC
commit_time=1704164645

rm -rf "$scratch"
mkdir -p "$scratch"

# Usage: pack FOLDER UMASK FILE_TIME TZ
pack() (
  copy=$1/raidvol
  umask "$2"
  mkdir -p "$copy"
  tar -C "$source" --exclude=./build --exclude=./.git -cf - . |
    tar -C "$copy" --no-same-permissions -xf -
  cd "$copy"
  git init -q
  git add -A
  GIT_COMMITTER_DATE="@$commit_time +0000" GIT_AUTHOR_DATE="@$commit_time +0000" \
    git -c user.name=raidvol -c user.email=raidvol@example.invalid \
    commit -q -m copy
  find . -exec touch -h -d "$3" {} +
  unset SOURCE_DATE_EPOCH
  export TZ="$4"
  { "$cmake" --preset windows-x86 &&
    "$cmake" --build --preset windows-x86 --target raidvol-sized raidvol-nosize &&
    "$cpack" --preset windows-x86; } >"$1/build.log" 2>&1 ||
    { tail -n 40 "$1/build.log" >&2; exit 1; }
)

# CMake itself refuses ";" and '"' in the path of a source folder.
plain=$scratch/plain
odd="$scratch/R&D O'Brien \$x (1)#%ü"
pack "$plain" 022 "2001-02-03 04:05:06" EST+5
pack "$odd" 077 "2019-12-30 22:00:00" JST-9

zip=raidvol-windows-x86.zip
first=$plain/raidvol/build/windows-x86
second=$odd/raidvol/build/windows-x86
cmp "$first/$zip" "$second/$zip" ||
  { echo "the two builds' zips differ" >&2; exit 1; }
cmp "$first/$zip.sha256" "$second/$zip.sha256" ||
  { echo "the two builds' checksum files differ" >&2; exit 1; }
(cd "$second" && sha256sum -c "$zip.sha256")

# Unpacked, each file bears the commit's time.
mkdir "$scratch/unpacked"
(cd "$scratch/unpacked" && "$cmake" -E tar xf "$first/$zip")
times=$(cd "$scratch/unpacked" && stat -c %Y -- * | sort -u)
if [ "$times" != "$commit_time" ]; then
  echo "$zip holds the times $times, not the commit's, $commit_time" >&2
  exit 1
fi
echo "$zip: the same bytes from both copies"
