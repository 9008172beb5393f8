# shellcheck shell=sh
# How 32-bit Windows programs run under Wine here, found without changing
# anything; sourced by scripts/wine32-status and scripts/install-wine32.
# wine32_status prints it in words, for people, and its status says it:
#   0  they run natively ("natively")
#   3  they run, emulated by the handler it names ("emulated by <handler>")
#   1  they cannot run here, and the line says why

# The status for programs that run under an emulator.
emulated=3

binfmt=/proc/sys/fs/binfmt_misc
# Wine's 32-bit loader, which wine32:i386 brings.
wine32=/usr/lib/wine/wine
# A 32-bit x86 program that Wine's 32-bit half brings with it (its C
# library's loader), small and quick to start even under emulation.
probe=/lib/ld-linux.so.2

# Whether a 32-bit x86 program starts and runs here. Its output is checked
# too: where the kernel refuses the file, a shell may run it as a script.
probe_runs() {
  case $("$probe" --version 2>/dev/null) in
  "ld.so "*) return 0 ;;
  *) return 1 ;;
  esac
}

# The binfmt_misc entry for 32-bit x86 programs, if one is registered.
i386_entry() {
  for entry in "$binfmt"/*; do
    case ${entry##*/} in register | status) continue ;; esac
    [ -r "$entry" ] || continue
    # Its magic, in hex: ELF, class 1 (32-bit), and machine 3 at byte 18.
    case $(sed -n 's/^magic //p' "$entry") in
    7f454c4601??????????????????????????0300*)
      echo "$entry"
      return
      ;;
    esac
  done
}

# The interpreter that 32-bit x86 programs go to, if one is registered and
# in force: it takes them before the kernel's own loader does.
i386_handler() {
  entry=$(i386_entry)
  [ -n "$entry" ] && [ "$(head -n 1 "$entry")" = enabled ] &&
    [ "$(cat "$binfmt/status")" = enabled ] || return 0
  sed -n 's/^interpreter //p' "$entry"
}

# Says how 32-bit programs run here, with the status above.
wine32_status() {
  if [ ! -x "$wine32" ]; then
    echo "wine32:i386 is not installed (scripts/install-wine32 installs it, as root)"
    return 1
  fi
  handler=$(i386_handler)
  if ! probe_runs; then
    if [ -n "$handler" ]; then
      echo "32-bit programs fail under the handler registered for them, $handler"
    else
      echo "this kernel runs no 32-bit programs and no emulator is registered for them (scripts/install-wine32 registers one, as root)"
    fi
    return 1
  fi
  if [ -n "$handler" ]; then
    echo "emulated by $handler"
    return "$emulated"
  fi
  echo "natively"
  return 0
}
