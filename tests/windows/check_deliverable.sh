#!/bin/sh
# Checks a 32-bit deliverable without running it: a PE32 console program for
# Intel 80386 that imports only the system's KERNEL32 and msvcrt, stays under
# 64 KiB, carries no link time, and holds its own create-volume line and not
# the other deliverable's.
# Usage: check_deliverable.sh OBJDUMP EXE OWN_LINE OTHER_LINE
set -eu
objdump=$1 exe=$2 own_line=$3 other_line=$4
failures=0

fail() {
  echo "$exe: $*" >&2
  failures=$((failures + 1))
}

headers=$(TZ=UTC "$objdump" -p "$exe")
has() { printf '%s\n' "$headers" | grep -Eq "$1"; }

has 'file format pei-i386$' || fail "not a program for Intel 80386"
has '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)$' || fail "not PE32"
has '^Subsystem[[:space:]]+00000003[[:space:]]+\(Windows CUI\)$' ||
  fail "not a console program"
has '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' ||
  fail "carries a link time, so no two builds are alike"

imports=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' |
  sort -u | tr '\n' ' ')
[ "$imports" = "KERNEL32.dll msvcrt.dll " ] || fail "imports $imports"

size=$(wc -c <"$exe")
[ "$size" -lt 65536 ] || fail "is $size bytes, not under 64 KiB"

grep -aqF "$own_line" "$exe" || fail "lacks its line '$own_line'"
grep -aqF "$other_line" "$exe" && fail "holds the other line '$other_line'"

[ "$failures" -eq 0 ] && echo "$exe: as delivered"
exit "$failures"
