# CPack's configuration of the project, read before it writes a zip: every
# time in the zip is the commit's. CPack reads SOURCE_DATE_EPOCH itself.
# A zip of an earlier run must not outlive a failure of this one, nor pass
# for one of what this build makes: it is removed here, each time a zip is
# made, and nowhere else.
file(REMOVE "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip"
  "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip.sha256")
include(${CMAKE_CURRENT_LIST_DIR}/zip_timestamp.cmake)
raidvol_zip_timestamp(timestamp "${CPACK_RAIDVOL_SOURCE_DIR}" "${CPACK_RAIDVOL_GIT}")
set(ENV{SOURCE_DATE_EPOCH} ${timestamp})
