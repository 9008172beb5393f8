# Refuses a time that the zips cannot hold, so that a release stops before it
# builds anything rather than when it packs.
# Usage: cmake -DSOURCE_DIR=... -DGIT=... -P zip_timestamp_check.cmake
include(${CMAKE_CURRENT_LIST_DIR}/zip_timestamp.cmake)
raidvol_zip_timestamp(timestamp "${SOURCE_DIR}" "${GIT}")
