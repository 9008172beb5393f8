# Optional Authenticode signing of the Windows programs with osslsigncode:
# the settings, the check of the certificate before anything is built, and a
# step after each link that signs the program (sign_program.cmake). With no
# certificate given, the programs are left exactly as built.

# The settings, which scripts/release --help describes, hold for the
# configure call that gives them and no longer: a later call without them, or
# another command in this folder, is unsigned. The files are declared first,
# so that a relative path is taken from the caller's folder. The password is
# in a file, so that it is on no command line and not in the cache.
foreach(file IN ITEMS PKCS12 PASSWORD_FILE CA_FILE)
  set(RAIDVOL_SIGNING_${file} "" CACHE FILEPATH "")
endforeach()
set(RAIDVOL_SIGNING_TIMESTAMP_SECONDS 60 CACHE STRING "")
foreach(setting IN ITEMS PKCS12 PASSWORD_FILE CA_FILE TIMESTAMP_URL TIMESTAMP_SECONDS)
  set(RAIDVOL_SIGNING_${setting} "${RAIDVOL_SIGNING_${setting}}")
  unset(RAIDVOL_SIGNING_${setting} CACHE)
endforeach()
set(signing_folder ${CMAKE_BINARY_DIR}/signing)
file(REMOVE_RECURSE ${signing_folder})

# Refuses a certificate that cannot make a signature Windows accepts: one not
# for code signing, out of its dates, or whose key is not the one beside it.
# PKCS12 is the openssl command that reads the PKCS#12 file; the certificate
# is written in FOLDER, and whom it names is set in SUBJECT_VARIABLE.
function(raidvol_check_signing_certificate pkcs12 folder subject_variable)
  set(certificate ${folder}/certificate.pem)
  execute_process(COMMAND ${pkcs12} -nokeys -clcerts -out ${certificate}
    ERROR_VARIABLE problem RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT EXISTS ${certificate})
    message(FATAL_ERROR "cannot read the certificate in "
      "${RAIDVOL_SIGNING_PKCS12} with the password in "
      "${RAIDVOL_SIGNING_PASSWORD_FILE}: ${problem}")
  endif()
  set(x509 ${RAIDVOL_OPENSSL} x509 -in ${certificate} -noout)
  execute_process(COMMAND ${x509} -subject -nameopt RFC2253 -ext extendedKeyUsage
    OUTPUT_VARIABLE facts RESULT_VARIABLE status)
  string(REGEX MATCH "subject=([^\n]*)" subject "${facts}")
  set(subject "${CMAKE_MATCH_1}")
  set(unfit "")
  if(NOT facts MATCHES "Code Signing")
    list(APPEND unfit "its extended key usage does not include code signing")
  endif()
  # Dates alone: the certificate is taken as trusted here.
  execute_process(COMMAND ${RAIDVOL_OPENSSL} verify -no-CAfile -no-CApath
    -partial_chain -trusted ${certificate} ${certificate}
    OUTPUT_VARIABLE dates ERROR_VARIABLE dates RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    string(REGEX MATCH "certificate (has expired|is not yet valid)" reason "${dates}")
    if(NOT reason)
      set(reason "openssl cannot check its dates: ${dates}")
    endif()
    list(APPEND unfit "${reason}")
  endif()
  execute_process(COMMAND ${pkcs12} -nocerts -nodes
    COMMAND ${RAIDVOL_OPENSSL} pkey -pubout
    OUTPUT_VARIABLE key_public ERROR_QUIET)
  execute_process(COMMAND ${x509} -pubkey
    OUTPUT_VARIABLE certificate_public ERROR_QUIET)
  if(key_public STREQUAL "" OR NOT key_public STREQUAL certificate_public)
    list(APPEND unfit "its key does not match the certificate")
  endif()
  if(unfit)
    list(JOIN unfit "; " unfit)
    message(FATAL_ERROR "the certificate of ${subject} in "
      "${RAIDVOL_SIGNING_PKCS12} cannot sign the programs: ${unfit}")
  endif()
  set(${subject_variable} "${subject}" PARENT_SCOPE)
endfunction()

if(NOT RAIDVOL_SIGNING_PKCS12 AND NOT RAIDVOL_SIGNING_PASSWORD_FILE)
  foreach(setting CA_FILE TIMESTAMP_URL)
    if(RAIDVOL_SIGNING_${setting})
      message(FATAL_ERROR "RAIDVOL_SIGNING_${setting} is given, but nothing "
        "is signed without RAIDVOL_SIGNING_PKCS12 and RAIDVOL_SIGNING_PASSWORD_FILE")
    endif()
  endforeach()
else()
  foreach(file IN ITEMS PKCS12 PASSWORD_FILE CA_FILE)
    set(path "${RAIDVOL_SIGNING_${file}}")
    if(NOT (path STREQUAL "" AND file STREQUAL "CA_FILE") AND
        (NOT EXISTS "${path}" OR IS_DIRECTORY "${path}"))
      message(FATAL_ERROR "RAIDVOL_SIGNING_${file} names no file: '${path}' "
        "(signing needs both RAIDVOL_SIGNING_PKCS12 and RAIDVOL_SIGNING_PASSWORD_FILE)")
    endif()
  endforeach()
  if(NOT RAIDVOL_SIGNING_TIMESTAMP_SECONDS MATCHES "^[1-9][0-9]*$")
    message(FATAL_ERROR "RAIDVOL_SIGNING_TIMESTAMP_SECONDS must be a whole "
      "number of seconds: '${RAIDVOL_SIGNING_TIMESTAMP_SECONDS}'")
  endif()
  find_program(RAIDVOL_OSSLSIGNCODE osslsigncode)
  find_program(RAIDVOL_OPENSSL openssl)
  if(NOT RAIDVOL_OSSLSIGNCODE OR NOT RAIDVOL_OPENSSL)
    message(FATAL_ERROR "signing needs osslsigncode and openssl: install them")
  endif()
  file(MAKE_DIRECTORY ${signing_folder})
  set(pkcs12 ${RAIDVOL_OPENSSL} pkcs12 -in ${RAIDVOL_SIGNING_PKCS12}
    -passin file:${RAIDVOL_SIGNING_PASSWORD_FILE})
  raidvol_check_signing_certificate("${pkcs12}" ${signing_folder} subject)
  set(signing_trusted ${RAIDVOL_SIGNING_CA_FILE})
  if(NOT signing_trusted)
    set(signing_trusted ${signing_folder}/chain.pem)
    execute_process(COMMAND ${pkcs12} -nokeys -out ${signing_trusted}
      COMMAND_ERROR_IS_FATAL ANY ERROR_QUIET)
  endif()
  message(STATUS "Signing with the certificate of ${subject}")
  # For the release's summary.
  file(WRITE ${signing_folder}/subject "${subject}")
endif()

# Signs TARGET's program after each link.
function(raidvol_sign target)
  if(NOT RAIDVOL_SIGNING_PKCS12)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DNAME=${target}
      -DOSSLSIGNCODE=${RAIDVOL_OSSLSIGNCODE}
      -DPKCS12=${RAIDVOL_SIGNING_PKCS12}
      -DPASSWORD_FILE=${RAIDVOL_SIGNING_PASSWORD_FILE}
      -DTRUSTED=${signing_trusted}
      -DTIMESTAMP_URL=${RAIDVOL_SIGNING_TIMESTAMP_URL}
      -DSECONDS=${RAIDVOL_SIGNING_TIMESTAMP_SECONDS}
      -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/sign_program.cmake
    COMMENT "Signing ${target}"
    VERBATIM)
  # Another certificate signs the program anew.
  set_property(TARGET ${target} APPEND PROPERTY
    LINK_DEPENDS ${RAIDVOL_SIGNING_PKCS12})
endfunction()
