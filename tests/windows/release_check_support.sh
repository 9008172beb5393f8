# shellcheck shell=sh disable=SC2034,SC2154 # variables the sourcing check sets or uses
# What the checks that start from clones of the commit share; each sources
# this file after setting cmake, cpack, repository (the clone to copy) and
# scratch (its own folder, emptied here).
rm -rf "$scratch"
mkdir -p "$scratch"
zip=raidvol-windows-x86.zip

# Usage: clone FOLDER UMASK FILE_TIME AUTOCRLF
clone() (
  umask "$2"
  git clone -q -c core.autocrlf="$4" "$repository" "$1"
  find "$1" -exec touch -h -d "$3" {} +
)

# Packs the 32-bit preset in FOLDER, as a user would.
# Usage: pack FOLDER TZ [CONFIGURE_OPTION...]
pack() (
  cd "$1"
  export TZ="$2"
  unset SOURCE_DATE_EPOCH
  shift 2
  { "$cmake" --preset windows-x86 "$@" &&
    "$cmake" --build --preset windows-x86 --target raidvol-sized raidvol-nosize &&
    "$cpack" --preset windows-x86; } >build.log 2>&1 ||
    { cat build.log >&2; exit 1; }
)

# Usage: refused TEXT COMMAND...: the command must fail, saying TEXT, which
# may be wrapped over lines.
refused() {
  text=$1
  shift
  if "$@" >"$scratch/refusal" 2>&1 ||
    ! tr -s ' \n' '  ' <"$scratch/refusal" | grep -qF "$text"; then
    fail "$(cat "$scratch/refusal")" "expected a failure that says: $text"
  fi
}

# Usage: fail LINE...: says each line, and fails.
fail() {
  printf '%s\n' "$@" >&2
  exit 1
}
