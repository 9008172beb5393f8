# Sets VARIABLE to the time of every file in a zip of the source in
# SOURCE_DIR, as reproducible builds take it: SOURCE_DATE_EPOCH when the
# environment sets it (empty counts as unset), else the commit time of a git
# checkout, read with GIT, else a fixed time.
function(raidvol_zip_timestamp variable source_dir git)
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(origin "SOURCE_DATE_EPOCH")
  if(epoch STREQUAL "")
    # 2000-01-01 00:00:00 UTC, for a source that is not a git checkout.
    set(epoch 946684800)
    if(EXISTS "${source_dir}/.git")
      set(origin "the commit time of ${source_dir}")
      # A checkout that git cannot read (no git, or another user's clone)
      # would otherwise give its builder another time than everyone else's.
      execute_process(COMMAND "${git}" log -1 --format=%ct
        WORKING_DIRECTORY "${source_dir}"
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
        ERROR_VARIABLE git_error RESULT_VARIABLE git_status)
      if(NOT git_status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
        message(FATAL_ERROR "cannot read the commit time of "
          "${source_dir} with git (${git_status}): ${git_error}"
          "Set SOURCE_DATE_EPOCH to pack it anyway.")
      endif()
    endif()
  endif()
  # A zip holds a local time from 1980 on, in two-second steps, and beside it
  # the Unix time in 32 bits: beyond those, a time would be moved or wrapped.
  set(earliest 315532800)
  set(latest 4294967295)
  string(LENGTH "${epoch}" digits)
  if(NOT epoch MATCHES "^[0-9]+$" OR digits GREATER 10 OR
      epoch LESS earliest OR epoch GREATER latest)
    message(FATAL_ERROR "${origin} must be a whole number of seconds from "
      "${earliest} (1980-01-01) to ${latest} (2106-02-07), the times a zip "
      "can hold: '${epoch}'")
  endif()
  # The local time counts in two-second steps: both times are the even second
  # at or before it, so that they agree.
  math(EXPR epoch "${epoch} - ${epoch} % 2")
  set(${variable} ${epoch} PARENT_SCOPE)
endfunction()
