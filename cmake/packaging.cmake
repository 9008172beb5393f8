# What a Windows user is handed: the two programs, the README and the
# licence, in a zip named for the Windows it runs on.
install(TARGETS raidvol-sized raidvol-nosize RUNTIME DESTINATION .)
install(FILES README.md LICENSE DESTINATION .)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(windows_kind x64)
else()
  set(windows_kind x86)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME raidvol-windows-${windows_kind})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
