// How many machines a fleet runs at once when --jobs does not say.
#pragma once

namespace rehearsal {

// More at once gains a fleet nothing once all of a thousand machines sleep
// through their pause together, and each costs memory.
constexpr unsigned most_jobs = 1000;

// A quarter of the account's process limit, at most most_jobs: each machine
// runs two processes at once (its program, and the interpreter that becomes
// the simulated DiskPart), and half the limit is left to the account's
// other processes. The rehearsal's own descriptors do not grow with the
// fleet, so the file limit plays no part.
unsigned default_jobs();

} // namespace rehearsal
