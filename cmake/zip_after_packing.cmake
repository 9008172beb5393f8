# Run by CPack on the zip it wrote, before it copies it out and computes its
# checksum, so that a commit's zip is the same bytes whoever packs it. CPack
# fixes the times and the modes; but the order of the entries follows the
# staging folder's listing, and each entry records its owner's uid and gid.
# strip-nondeterminism sorts the entries, zeroes the owners and sets every
# time once more, in UTC, as a zip holds local times.
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
