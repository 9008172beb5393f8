#!/bin/sh
# What scripts/release refuses, in a clone of the commit: a release started
# while another runs stops at once and leaves the running one's files; one
# given a SOURCE_DATE_EPOCH that a zip cannot hold stops before it builds
# anything; one given an option that no build uses (misspelt) stops before it
# builds; and a release that fails leaves no earlier one in build/release.
# Usage: check_release_refusals.sh REPOSITORY SCRATCH
set -eu
repository=$1 scratch=$2
. "$(dirname "$0")/release_check_support.sh"

clone "$scratch/copy" 022 now false
cd "$scratch/copy"
mkdir -p build/release
: >build/release/earlier
refused "another release is running" flock build/release.lock scripts/release
[ -e build/release/earlier ] || fail "it removed the running one's release"

SOURCE_DATE_EPOCH=4294967296 refused "SOURCE_DATE_EPOCH must be a whole number" \
  scripts/release
[ ! -e build/release-work/windows-x86 ] || fail "it configured a build first"
[ ! -e build/release ] || fail "an earlier release outlived the failed one"

mkdir -p build/release
: >build/release/earlier
refused "option(s) that no build step uses, misspelt?: RAIDVOL_SIGNNG_PKCS12" \
  scripts/release -DRAIDVOL_SIGNNG_PKCS12=signer.p12
[ ! -e build/release-work/windows-x86/raidvol-sized.exe ] || fail "it built first"
[ ! -e build/release ] || fail "an earlier release outlived the failed one"
