// One machine's run: the program started in a folder of its own, as the
// leader of a process group of its own, with a verdict file of its own; and
// the verdict read back once it has ended. A run whose console is the
// rehearsal's stays in the rehearsal's process group: a terminal that stops
// the writes of other groups (stty tostop) would stop it.
#pragma once

#include "machine_verdict.h"
#include "machines.h"
#include "subprocess.h"

#include <string>
#include <unistd.h>
#include <vector>

namespace rehearsal {

struct RunSetup {
  std::string build;           // where the programs and the interpreter are
  std::string program;         // the program's file name there
  std::string work;            // a folder of the rehearsal's own
  std::string transcripts;     // empty: no console is kept
  bool console_shown = false;  // where not kept, on the rehearsal's console
  int console = STDOUT_FILENO; // the rehearsal's console: output or error
  std::string after;           // empty: no machine kept as its run left it
};

class MachineRuns {
public:
  explicit MachineRuns(RunSetup setup);

  // Starts machine `index`'s program as `child`; false, with `verdict`
  // saying why, where it did not start. A capture that is not a regular file,
  // such as a named pipe or a device, is never opened: its machine is unusable.
  bool start(const Machine &machine, std::size_t index, Subprocess &child,
             MachineVerdict &verdict);
  // What the run of `machine`, number `index`, that ended with
  // `wait_status` gives it: failed where its transcript may not be whole.
  // A failed run's machine is not kept: what it left never passes for it.
  MachineVerdict finish(const Machine &machine, std::size_t index,
                        int wait_status) const;
  // Makes the folders of the transcripts and of the machines kept after
  // their runs if need be, and removes any earlier file of these machines
  // there, which could pass for this rehearsal's. Throws Stop (a bad input)
  // where it cannot, or where a file would take the place of a capture of
  // `captures`, which --disks `paths` name.
  void prepare_kept(const std::vector<Machine> &machines,
                    const CaptureFiles &captures,
                    const std::vector<std::string> &paths) const;
  // Where machine `machine`'s console is kept, if it is kept.
  std::string transcript(const Machine &machine) const;
  // Where machine `machine` is kept as its run left it, if it is kept.
  std::string after(const Machine &machine) const;
  // Removes what the run of `machine`, ended before its time, has kept, so
  // that it does not pass for a result.
  void abandon(const Machine &machine) const;

private:
  std::string folder(std::size_t index) const;
  // The verdict that the run gives, before what it kept is judged.
  MachineVerdict run_verdict(const Machine &machine, std::size_t index,
                             int wait_status) const;

  RunSetup setup_;
  std::vector<std::string> environment_; // but for the machine's own
};

} // namespace rehearsal
