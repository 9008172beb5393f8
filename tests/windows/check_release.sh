#!/bin/sh
# package: packs a Windows build, whose zip must hold the two programs exactly
# as built, the README and the licence, and nothing else. The others pack the
# 32-bit programs from clones of the commit, as a user would.
# reproducible: two clones, one with CR LF line ends (core.autocrlf), in
# differently named folders (one named with what a shell misreads), with other
# umasks, file times and time zones, pack the same bytes, and the checksum
# file holds. A SOURCE_DATE_EPOCH that a zip cannot hold is refused, an empty
# one counts as unset, and a release started while another runs stops at once.
# signing: a certificate that is not for code signing is refused; a timestamp
# server that never answers fails the build in its time limit and leaves no
# process behind; a certificate made here signs the programs, whose password
# stays out of the build's files; the next configure without the settings
# builds unsigned programs. Without osslsigncode, openssl or perl, skipped.
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

# Usage: clone FOLDER UMASK FILE_TIME AUTOCRLF
clone() (
  umask "$2"
  git clone -q -c core.autocrlf="$4" "$source" "$1"
  find "$1" -exec touch -h -d "$3" {} +
)

# Usage: pack FOLDER TZ [CONFIGURE_OPTION...], from FOLDER.
pack() (
  cd "$1"
  export TZ="$2"
  unset SOURCE_DATE_EPOCH
  shift 2
  { "$cmake" --preset windows-x86 "$@" &&
    "$cmake" --build --preset windows-x86 --target raidvol-sized raidvol-nosize &&
    "$cpack" --preset windows-x86; } >build.log 2>&1 ||
    { tail -n 40 build.log >&2; exit 1; }
)

# Usage: refused TEXT COMMAND...: the command must fail, saying TEXT, which
# may be wrapped over lines.
refused() {
  text=$1
  shift
  if "$@" >"$scratch/refusal" 2>&1 ||
    ! tr -s ' \n' '  ' <"$scratch/refusal" | grep -qF "$text"; then
    cat "$scratch/refusal" >&2
    echo "expected a failure that says: $text" >&2
    exit 1
  fi
}

if [ "$mode" = reproducible ]; then
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
    [ ! -e "$zip" ] || { echo "a zip is left beside that failure" >&2; exit 1; }
  done
  SOURCE_DATE_EPOCH='' "$cpack" >/dev/null
  cmp "$plain_zip" "$zip"
  cd "$scratch/plain"
  mkdir -p build/release
  : >build/release/running
  refused "another release is running" flock build/release.lock scripts/release
  [ -e build/release/running ] || { echo "it removed the running one's release" >&2; exit 1; }
  exit
fi

for tool in osslsigncode openssl perl; do
  command -v "$tool" >/dev/null || { echo "skipped: install $tool"; exit 0; }
done
cd "$scratch"
# A password with a space and a dollar sign, which no shell may see.
printf '%s\n' 'sign $me please' >password
for usage in codeSigning serverAuth; do
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=raidvol $usage" \
    -addext extendedKeyUsage=$usage -keyout $usage.key -out $usage.pem 2>/dev/null
  openssl pkcs12 -export -inkey $usage.key -in $usage.pem -out $usage.p12 \
    -passout file:password
done
clone copy 022 now false
# Relative to the folder that the configure step runs in.
signed_by() {
  usage=$1
  shift
  pack copy UTC -DRAIDVOL_SIGNING_PKCS12="../$usage.p12" \
    -DRAIDVOL_SIGNING_PASSWORD_FILE=../password "$@"
}
refused "extended key usage does not include code signing" signed_by serverAuth

# A server that takes the connection and never answers.
mkfifo listening
perl -MIO::Socket::INET -e '$s = IO::Socket::INET->new(Listen => 1,
  LocalAddr => "127.0.0.1") or die "$!\n"; print $s->sockport, "\n";
  close STDOUT; sleep' >listening &
listener=$!
trap 'kill $listener' EXIT
read -r port <listening
server=http://127.0.0.1:$port
refused "the timestamp server $server gave no answer within 2 s" signed_by \
  codeSigning -DRAIDVOL_SIGNING_TIMESTAMP_URL="$server" \
  -DRAIDVOL_SIGNING_TIMESTAMP_SECONDS=2
for process in /proc/[0-9]*/cmdline; do
  if tr '\0' ' ' <"$process" 2>/dev/null | grep -q "^[^ ]*osslsigncode .*$scratch"; then
    echo "left running: $process" >&2
    exit 1
  fi
done

signed_by codeSigning
if grep -l 'sign \$me' copy/build/windows-x86/CMakeCache.txt \
  copy/build/windows-x86/build.ninja; then
  echo "the password is in those files" >&2
  exit 1
fi
cd unpacked && "$cmake" -E tar xf "../copy/build/windows-x86/$zip"
for program in raidvol-sized.exe raidvol-nosize.exe; do
  osslsigncode verify -CAfile ../codeSigning.pem -in "$program"
done
# Signing settings hold for the call that gave them alone.
pack ../copy UTC
for program in raidvol-sized.exe raidvol-nosize.exe; do
  refused "No signature found" osslsigncode extract-signature \
    -in "../copy/build/windows-x86/$program" -out "../$program.signature"
done
