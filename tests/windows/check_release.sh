#!/bin/sh
# package: packs a Windows build, whose zip must hold the two programs exactly
# as built, the README and the licence, and nothing else. The others pack the
# 32-bit programs from a copy of the source, as a user would.
# reproducible: two copies, in differently named folders (one named with what
# a shell misreads), with other umasks, file times and time zones, pack the
# same bytes, and the checksum file holds. signing: a build given a
# certificate made here packs programs signed by it, and keeps the password
# out of its files. Without osslsigncode or openssl, it is skipped.
# Usage: check_release.sh package CMAKE CPACK BUILD_FOLDER SCRATCH
#        check_release.sh reproducible|signing CMAKE CPACK SOURCE SCRATCH
set -eu
mode=$1 cmake=$2 cpack=$3 source=$4 scratch=$5
zip=raidvol-windows-x86.zip
rm -rf "$scratch"
mkdir -p "$scratch/unpacked"

if [ "$mode" = package ]; then
  build=$source zip=raidvol-${source##*/}.zip
  "$cpack" --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/log" ||
    { cat "$scratch/log" >&2; exit 1; }
  cd "$scratch/unpacked"
  [ "$(echo ../*.zip)" = "../$zip" ] || { echo "made: $(echo ../*.zip)" >&2; exit 1; }
  "$cmake" -E tar xf "../$zip"
  listing=$(find . -type f | sort | tr '\n' ' ')
  [ "$listing" = "./LICENSE ./README.md ./raidvol-nosize.exe ./raidvol-sized.exe " ] ||
    { echo "$zip holds $listing" >&2; exit 1; }
  cmp "$build/raidvol-nosize.exe" raidvol-nosize.exe
  cmp "$build/raidvol-sized.exe" raidvol-sized.exe
  exit
fi

# Usage: pack FOLDER UMASK FILE_TIME TZ [CONFIGURE_OPTION...]
pack() (
  umask "$2"
  export TZ="$4"
  unset SOURCE_DATE_EPOCH
  mkdir -p "$1" && cd "$1"
  tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -xf -
  find . -exec touch -h -d "$3" {} +
  shift 4
  { "$cmake" --preset windows-x86 "$@" &&
    "$cmake" --build --preset windows-x86 --target raidvol-sized raidvol-nosize &&
    "$cpack" --preset windows-x86; } >build.log 2>&1 ||
    { tail -n 40 build.log >&2; exit 1; }
)

if [ "$mode" = reproducible ]; then
  # CMake itself refuses ";" and '"' in the path of a source folder.
  odd="$scratch/R&D O'Brien \$x (1)#%ü"
  pack "$scratch/plain" 022 "2001-02-03 04:05:06" EST+5
  pack "$odd" 077 "2019-12-30 22:00:00" JST-9
  cd "$odd/build/windows-x86"
  cmp "$scratch/plain/build/windows-x86/$zip" "$zip"
  sha256sum -c "$zip.sha256"
  exit
fi

for tool in osslsigncode openssl; do
  command -v "$tool" >/dev/null || { echo "skipped: install $tool"; exit 0; }
done
cd "$scratch"
# A password with a space and a dollar sign, which no shell may see.
printf '%s\n' 'sign $me please' >password
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=raidvol signer" \
  -addext extendedKeyUsage=codeSigning -keyout key.pem -out signer.pem 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in signer.pem -out signer.p12 \
  -passout file:password
pack copy 022 now UTC -DRAIDVOL_SIGNING_PKCS12="$scratch/signer.p12" \
  -DRAIDVOL_SIGNING_PASSWORD_FILE="$scratch/password"
if grep -l 'sign \$me' copy/build/windows-x86/CMakeCache.txt \
  copy/build/windows-x86/build.ninja; then
  echo "the password is in those files" >&2
  exit 1
fi
cd unpacked && "$cmake" -E tar xf "../copy/build/windows-x86/$zip"
for program in raidvol-sized.exe raidvol-nosize.exe; do
  osslsigncode verify -CAfile ../signer.pem -in "$program"
done
