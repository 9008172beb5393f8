#!/bin/sh
# Signing, in a clone of the commit: a certificate that is not for code
# signing is refused; a timestamp server that never answers fails the build
# in its time limit and leaves no process behind; a signature that does not
# verify against the CA file given fails the build; a certificate made here
# signs the programs, whose password stays out of the build's files; the
# next configure without the settings builds unsigned programs. Without
# osslsigncode, openssl or perl, skipped.
# Usage: check_signing.sh CMAKE CPACK REPOSITORY SCRATCH
set -eu
cmake=$1 cpack=$2 repository=$3 scratch=$4
. "$(dirname "$0")/release_check_support.sh"

for tool in osslsigncode openssl perl; do
  command -v "$tool" >/dev/null || { echo "skipped: install $tool"; exit 0; }
done
cd "$scratch"
mkdir unpacked
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
  ! tr '\0' ' ' 2>/dev/null <"$process" | grep -q "^[^ ]*osslsigncode .*$scratch" ||
    fail "left running: $process"
done
# A CA file that did not issue the certificate.
refused "does not verify against" signed_by codeSigning \
  -DRAIDVOL_SIGNING_CA_FILE=../serverAuth.pem

signed_by codeSigning
! grep -l 'sign \$me' copy/build/windows-x86/CMakeCache.txt \
  copy/build/windows-x86/build.ninja || fail "the password is in those files"
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
