# What a Windows user is handed: the two programs, the README and the
# licence, in a zip named for the Windows it runs on. The modes are set here,
# not taken from the clone.
install(TARGETS raidvol-sized raidvol-nosize RUNTIME DESTINATION .
  PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
install(FILES README.md LICENSE DESTINATION .
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME raidvol-windows-${RAIDVOL_WINDOWS_KIND})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The same bytes from every build of a commit, with a checksum beside them.
find_package(Git QUIET)
find_program(RAIDVOL_STRIP_NONDETERMINISM strip-nondeterminism)
set(CPACK_RAIDVOL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_RAIDVOL_GIT ${GIT_EXECUTABLE})
set(CPACK_RAIDVOL_STRIP_NONDETERMINISM ${RAIDVOL_STRIP_NONDETERMINISM})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/zip_before_packing.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/zip_after_packing.cmake)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
