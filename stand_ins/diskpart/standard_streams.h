// How the standard streams are made fit for the simulated DiskPart: the one
// part that differs between hosts.
#pragma once

namespace stand_ins {

// Makes standard input pass every byte through untranslated. False, with
// errno set, if it cannot be switched.
bool read_stdin_as_bytes();

// Makes a write whose reader has gone fail as a write, rather than end the
// process, so that lost output is reported as a failure. False, with errno
// set, if that cannot be arranged.
bool fail_writes_without_reader();

} // namespace stand_ins
