# 32-bit Windows (PE32, Intel 80386): the deliverables that most users run.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(RAIDVOL_WINDOWS_KIND x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
