# shellcheck shell=sh
# What scripts/rehearse and scripts/confirm share, sourced by each with
# `name` set to its own: installs what the build needs, builds the programs,
# the stand-in machine and the runners under the build's lock (held on
# descriptor 9), and finds the commit that the report names. It sets `build`
# to the folder the runners are in, and `commit`.

# `name` is set by the front door that sources this.
# shellcheck disable=SC2154
fail() {
  echo "$name: $1" >&2
  exit 3
}

trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP
trap 'exit 131' QUIT

self=$(readlink -f -- "$0") || fail "cannot tell where $0 is"
root=$(dirname -- "$(dirname -- "$self")")

# The tests name a build folder of their own, ready to run, instead.
build=${RAIDVOL_REHEARSAL_BUILD:-}
if [ -z "$build" ]; then
  caller=$PWD
  cd "$root" || fail "cannot enter $root"
  # The runners need only a compiler and the build tools.
  scripts/install-packages cmake g++ ninja-build nlohmann-json3-dev ||
    fail "cannot install the packages that the build needs"
  mkdir -p build || fail "cannot make the build folder $root/build"
  # Two rehearsals at once would build in one folder: the second waits.
  command exec 9>build/rehearsal.lock ||
    fail "cannot open the build's lock $root/build/rehearsal.lock"
  flock 9 || fail "cannot take the build's lock $root/build/rehearsal.lock"
  # shellcheck disable=SC2046 # the word is --fresh, or nothing
  if ! log=$(cmake --workflow --preset rehearsal \
    $(scripts/fresh-if-moved build/rehearsal) 2>&1); then
    printf '%s\n' "$log" >&2
    fail "the build failed"
  fi
  build=$root/build/rehearsal
  cd "$caller" || fail "cannot return to $caller"
fi

# The report names the commit it was rehearsed at, where there is one, and
# says where the clone's files differ from it (as after adding a status):
# read under the lock, it is the build's.
commit=""
if place=$(git -C "$root" rev-parse --show-toplevel HEAD 2>/dev/null) &&
  [ "${place%%
*}" = "$root" ]; then
  commit=${place#*
}
  git -C "$root" diff --quiet HEAD -- 2>/dev/null || commit=$commit-dirty
fi
