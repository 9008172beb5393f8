#!/bin/sh
# Signs a 32-bit build with a certificate made on the spot, and checks that
# both programs bear a signature by it, and that the zip holds them signed.
# Usage: check_signing.sh CMAKE CPACK SOURCE_FOLDER SCRATCH_FOLDER
set -eu
cmake=$1 cpack=$2 source=$3 scratch=$4
for tool in osslsigncode openssl; do
  command -v "$tool" >/dev/null ||
    { echo "skipped: $tool not found: install $tool"; exit 0; }
done

rm -rf "$scratch"
mkdir -p "$scratch/unpacked"
cd "$scratch"
# A password with a space and a dollar sign, which no shell must see.
printf '%s\n' 'sign $me please' >password
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=raidvol test signer" \
  -addext keyUsage=digitalSignature -addext extendedKeyUsage=codeSigning \
  -keyout key.pem -out certificate.pem 2>openssl.log ||
  { cat openssl.log >&2; exit 1; }
openssl pkcs12 -export -inkey key.pem -in certificate.pem -out signer.p12 \
  -passout file:password

{ "$cmake" -S "$source" --preset windows-x86 -B build \
    -DRAIDVOL_SIGNING_PKCS12="$scratch/signer.p12" \
    -DRAIDVOL_SIGNING_PASSWORD_FILE="$scratch/password" &&
  "$cmake" --build build --target raidvol-sized raidvol-nosize &&
  "$cpack" --config build/CPackConfig.cmake -B package; } >build.log 2>&1 ||
  { cat build.log >&2; exit 1; }
if grep -q 'sign \$me' build/CMakeCache.txt build/build.ninja; then
  echo "the password is in the build's files" >&2
  exit 1
fi

(cd unpacked && "$cmake" -E tar xf ../package/raidvol-windows-x86.zip)
for program in raidvol-sized.exe raidvol-nosize.exe; do
  osslsigncode verify -CAfile certificate.pem -in "build/$program" >verify.log 2>&1 ||
    { cat verify.log >&2; echo "$program: no valid signature" >&2; exit 1; }
  cmp "build/$program" "unpacked/$program" ||
    { echo "the zip's $program is not the signed one" >&2; exit 1; }
  echo "$program: signed by $(sed -n 's/^[[:space:]]*Subject: //p' verify.log | head -n 1)"
done
