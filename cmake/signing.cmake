# Optional Authenticode signing of the Windows programs with osslsigncode.
# With no certificate given, the programs are left exactly as built.
set(RAIDVOL_SIGNING_PKCS12 "" CACHE FILEPATH
  "PKCS#12 file with the certificate and key that sign the Windows programs (empty: unsigned)")
# A file, so the password is on no command line and not in this cache.
set(RAIDVOL_SIGNING_PASSWORD_FILE "" CACHE FILEPATH
  "File holding the password of RAIDVOL_SIGNING_PKCS12")
set(RAIDVOL_SIGNING_TIMESTAMP_URL "" CACHE STRING
  "Timestamp server that countersigns the signatures (empty: no timestamp)")

if(RAIDVOL_SIGNING_PKCS12 OR RAIDVOL_SIGNING_PASSWORD_FILE)
  foreach(file IN ITEMS RAIDVOL_SIGNING_PKCS12 RAIDVOL_SIGNING_PASSWORD_FILE)
    if(NOT EXISTS "${${file}}")
      message(FATAL_ERROR "signing needs both RAIDVOL_SIGNING_PKCS12 and "
        "RAIDVOL_SIGNING_PASSWORD_FILE; ${file} names no file: '${${file}}'")
    endif()
  endforeach()
  find_program(RAIDVOL_OSSLSIGNCODE osslsigncode)
  if(NOT RAIDVOL_OSSLSIGNCODE)
    message(FATAL_ERROR "signing needs osslsigncode: install it")
  endif()
endif()

# Signs TARGET's program after each link, in place through a temporary file,
# so a failed signing leaves no half-written program behind.
function(raidvol_sign target)
  if(NOT RAIDVOL_SIGNING_PKCS12)
    return()
  endif()
  set(timestamp "")
  if(RAIDVOL_SIGNING_TIMESTAMP_URL)
    set(timestamp -t ${RAIDVOL_SIGNING_TIMESTAMP_URL})
  endif()
  set(program $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E rm -f ${program}.signed
    COMMAND ${RAIDVOL_OSSLSIGNCODE} sign
      -pkcs12 ${RAIDVOL_SIGNING_PKCS12}
      -readpass ${RAIDVOL_SIGNING_PASSWORD_FILE}
      -h sha256 -n ${target} ${timestamp}
      -in ${program} -out ${program}.signed
    # osslsigncode writes a file that is not executable.
    COMMAND chmod --reference=${program} ${program}.signed
    COMMAND ${CMAKE_COMMAND} -E rename ${program}.signed ${program}
    COMMENT "Signing ${target}"
    VERBATIM)
  # Another certificate signs the program anew.
  set_property(TARGET ${target} APPEND PROPERTY
    LINK_DEPENDS ${RAIDVOL_SIGNING_PKCS12})
endfunction()
