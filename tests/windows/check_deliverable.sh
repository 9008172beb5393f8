#!/bin/sh
# Checks a Windows deliverable without running it: a stripped console
# program for Intel 80386 (PE32) or x86-64 (PE32+) that imports only the
# system's KERNEL32 and msvcrt, stays under 64 KiB, carries no link time,
# holds its own create-volume line and not the other deliverable's, and
# carries a version resource and a manifest asking to run as invoker in the
# trustInfo namespace that older loaders accept.
# Usage: check_deliverable.sh x86|x64 OBJDUMP EXE OWN_LINE OTHER_LINE
set -eu
kind=$1 objdump=$2 exe=$3 own_line=$4 other_line=$5
failures=0

fail() {
  echo "$exe: $*" >&2
  failures=$((failures + 1))
}

case $kind in
x86) format=pei-i386 magic='010b[[:space:]]+\(PE32\)' ;;
x64) format=pei-x86-64 magic='020b[[:space:]]+\(PE32\+\)' ;;
*)
  echo "usage: $0 x86|x64 OBJDUMP EXE OWN_LINE OTHER_LINE" >&2
  exit 2
  ;;
esac

headers=$(TZ=UTC "$objdump" -p "$exe")
has() { printf '%s\n' "$headers" | grep -Eq "$1"; }

has "file format $format\$" || fail "not $format"
has "^Magic[[:space:]]+$magic\$" || fail "not the PE format for $kind"
has '^Subsystem[[:space:]]+00000003[[:space:]]+\(Windows CUI\)$' ||
  fail "not a console program"
has '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' ||
  fail "carries a link time, so no two builds are alike"
has '^[[:space:]]+symbols stripped$' || fail "not stripped"

imports=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' |
  sort -u | tr '\n' ' ')
[ "$imports" = "KERNEL32.dll msvcrt.dll " ] || fail "imports $imports"

size=$(wc -c <"$exe")
[ "$size" -lt 65536 ] || fail "is $size bytes, not under 64 KiB"

grep -aqF "$own_line" "$exe" || fail "lacks its line '$own_line'"
grep -aqF "$other_line" "$exe" && fail "holds the other line '$other_line'"

# Resource types at the top of the resource directory: 16 is the version,
# 24 the manifest.
has '^[0-9a-f]+   Entry: ID: 0x000010,' || fail "has no version resource"
has '^[0-9a-f]+   Entry: ID: 0x000018,' || fail "has no manifest"
grep -aqF 'level="asInvoker"' "$exe" || fail "its manifest asks for no run level"
grep -aqF '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v2">' "$exe" ||
  fail "its manifest lacks trustInfo in the namespace older loaders accept"

[ "$failures" -eq 0 ] && echo "$exe: as delivered"
exit "$failures"
