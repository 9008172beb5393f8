#include "options.h"

#include "disk_listing.h"
#include "machine_state.h"

namespace confirmation {

std::string usage() {
  const WantedVolume sized = wanted_by(SIZED_PROGRAM, SIZED_CREATE_LINE);
  const unsigned long long allowance_mb =
      size_allowance(sized, 0) / stand_ins::bytes_per_mb;
  return std::string(
             R"(usage: scripts/confirm [--nosize] --volumes PATH... [--before PATH...]
                      [--report FILE]

Tells, for each machine, whether the deploy made raidvol-sized's volume
(with --nosize, raidvol-nosize's), from the output of DiskPart's LIST
VOLUME there after the deploy, saved to a file (with LIST DISK's too, as
docs/rehearsing.md's recipe collects them). It reads the files; it runs nothing.

  --volumes PATH   a capture taken after the deploy, or a folder standing
                   for each regular file directly in it whose name does not
                   begin with a dot. Each capture is a machine, named by its
                   file name without its last extension. Given more than
                   once, each adds its machines.
  --before PATH    the captures taken before the deploy, as --volumes takes
                   them, matched to the machines by name: a RAID-5 volume
                   that stood before does not count as made by this deploy.
                   A machine with none there, or whose capture holds no
                   LIST VOLUME, is unusable: what stood cannot be told
  --report FILE    writes the states as JSON to FILE, after the table: a
                   regular file there is replaced whole, in one rename; a
                   link, a named pipe or a device is written into, as a
                   shell's > would. With -, to standard output, and the
                   table to standard error.
  --nosize         confirms raidvol-nosize's volume

Each machine's state, with its reasons, which name the volume (its number,
type, size and status):
  made       a RAID-5 volume of the size the program asks for, healthy or
             still building its parity (Healthy, Rebuild). )") +
         SIZED_PROGRAM + " asks for\n             " + sized.said +
         R"(:
             LIST VOLUME's size may differ from it by 1% ()" +
         std::to_string(allowance_mb) +
         R"( MB), for the
             volume's alignment on its disks, and by one unit of the size
             it shows. )" +
         NOSIZE_PROGRAM + R"('s may be any size.
  degraded   that volume is there, but has failed or runs without
             redundancy (Failed, Failed Rd)
  missing    no such volume, or only one that stood before the deploy
  unusable   the capture cannot be used; the reason says why

Exit status, that of the most serious state among the machines:
  0    made on every machine
  1    missing or degraded on a machine: look at it before deploying again
  2    a capture cannot be used, or an option is bad; the message says why
  3    the confirmation itself failed (its output, its report); the message
       says why
)";
}

Options parse_options(const std::vector<std::string> &args) {
  Options options;
  for (std::size_t i = 0; i < args.size() && options.refusal.empty(); ++i) {
    const std::string &option = args[i];
    if (option == "--nosize") {
      options.nosize = true;
      continue;
    }
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option != "--volumes" && option != "--before" && option != "--report") {
      options.refusal = "unknown option: " + option;
      continue;
    }
    if (i + 1 == args.size() || args[i + 1].empty()) {
      options.refusal = option + " needs a value";
      continue;
    }
    const std::string &value = args[++i];
    if (option == "--volumes")
      options.volumes.push_back(value);
    else if (option == "--before")
      options.before.push_back(value);
    else if (!options.report.empty())
      // A second value would silently replace the first.
      options.refusal = "--report is given twice";
    else
      options.report = value;
  }
  if (options.refusal.empty() && !options.help && options.volumes.empty())
    options.refusal = "--volumes is needed: the captures taken after the "
                      "deploy";
  return options;
}

} // namespace confirmation
