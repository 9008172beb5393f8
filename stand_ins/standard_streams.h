// Where standard input is made to pass every byte through untranslated: the
// one place that differs between hosts.
#pragma once

namespace stand_ins {

// False, with errno set, if standard input cannot be switched.
bool read_stdin_as_bytes();

} // namespace stand_ins
