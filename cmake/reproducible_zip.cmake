# Makes a commit's zip the same bytes whoever packs it, whenever, from
# whatever folder and whatever file times and umask the clone has. CPack runs
# this file twice: as the project's CPack configuration before it writes the
# zip, and as a post-build script after, on the zip it wrote but before it
# copies it out and computes its checksum. A release runs its first part as
# a script too, to refuse a time that a zip cannot hold before building.

if(NOT DEFINED CPACK_PACKAGE_FILES)
  if(DEFINED CPACK_PACKAGE_FILE_NAME)
    # A zip of an earlier run must not outlive a failure of this one.
    file(REMOVE "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip"
      "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip.sha256")
  endif()
  # Every time in the zip is the commit's, as reproducible builds take it:
  # SOURCE_DATE_EPOCH when the environment sets it (empty counts as unset),
  # else the commit time of a git checkout, else a fixed time. CPack reads
  # SOURCE_DATE_EPOCH itself.
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(origin "SOURCE_DATE_EPOCH")
  if(epoch STREQUAL "")
    # 2000-01-01 00:00:00 UTC, for a source that is not a git checkout.
    set(epoch 946684800)
    if(EXISTS "${CPACK_RAIDVOL_SOURCE_DIR}/.git")
      set(origin "the commit time of ${CPACK_RAIDVOL_SOURCE_DIR}")
      # A checkout that git cannot read (no git, or another user's clone)
      # would otherwise give its builder another time than everyone else's.
      execute_process(COMMAND "${CPACK_RAIDVOL_GIT}" log -1 --format=%ct
        WORKING_DIRECTORY "${CPACK_RAIDVOL_SOURCE_DIR}"
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
        ERROR_VARIABLE git_error RESULT_VARIABLE git_status)
      if(NOT git_status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
        message(FATAL_ERROR "cannot read the commit time of "
          "${CPACK_RAIDVOL_SOURCE_DIR} with git (${git_status}): ${git_error}"
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
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  return()
endif()

# CPack fixes the times and the modes; but the order of the entries follows
# the staging folder's listing, and each entry records its owner's uid and
# gid. strip-nondeterminism sorts the entries, zeroes the owners and sets
# every time once more, in UTC, as a zip holds local times.
if(NOT CPACK_RAIDVOL_STRIP_NONDETERMINISM)
  file(REMOVE ${CPACK_PACKAGE_FILES})
  message(FATAL_ERROR "strip-nondeterminism not found: install it "
    "(Debian package strip-nondeterminism) to make reproducible zips")
endif()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC
      "${CPACK_RAIDVOL_STRIP_NONDETERMINISM}" --type zip
      --timestamp "$ENV{SOURCE_DATE_EPOCH}" "${package}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    # CPack would still copy the zip out, with a checksum, beside its error.
    file(REMOVE "${package}")
    message(FATAL_ERROR "strip-nondeterminism failed on ${package}")
  endif()
endforeach()
