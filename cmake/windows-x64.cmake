# 64-bit Windows (PE32+, x86-64): the deliverables for a Windows that runs no
# 32-bit programs, and the Windows tools that the tests under Wine use.
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(RAIDVOL_WINDOWS_KIND x64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
