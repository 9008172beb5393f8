# Signs one Windows program with osslsigncode and verifies the signature; the
# build runs it after each link of a program that is to be signed. The
# program is replaced only by a signature that verifies, through a temporary
# file, so a failed signing leaves no half-written program. coreutils'
# timeout bounds each step and ends osslsigncode when it runs out: some CMake
# versions leave a command running past execute_process's own TIMEOUT.
# Usage: cmake -DPROGRAM=... -DNAME=... -DOSSLSIGNCODE=... -DPKCS12=...
#   -DPASSWORD_FILE=... -DTRUSTED=... -DTIMESTAMP_URL=... -DSECONDS=...
#   -P sign_program.cmake
set(signed "${PROGRAM}.signed")
file(REMOVE "${signed}")
set(timestamp "")
set(waited_for "osslsigncode")
if(TIMESTAMP_URL)
  set(timestamp -t "${TIMESTAMP_URL}")
  set(waited_for "the timestamp server ${TIMESTAMP_URL}")
endif()
# Exit status 124 says that the time ran out; 137, that osslsigncode then had
# to be killed.
set(bounded timeout --kill-after=5 ${SECONDS})
execute_process(
  COMMAND ${bounded} "${OSSLSIGNCODE}" sign -pkcs12 "${PKCS12}" -readpass "${PASSWORD_FILE}"
    -h sha256 -n "${NAME}" ${timestamp} -in "${PROGRAM}" -out "${signed}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${signed}")
  if(status EQUAL 124 OR status EQUAL 137)
    message(FATAL_ERROR "${waited_for} gave no answer within ${SECONDS} s: "
      "${PROGRAM} is not signed")
  endif()
  message(FATAL_ERROR "osslsigncode could not sign ${PROGRAM} (${status})")
endif()
execute_process(
  COMMAND ${bounded} "${OSSLSIGNCODE}" verify -CAfile "${TRUSTED}" -in "${signed}"
  OUTPUT_VARIABLE report ERROR_VARIABLE report
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "the signature of ${PROGRAM} does not verify against "
    "${TRUSTED} (${status}):\n${report}")
endif()
# osslsigncode writes a file that is not executable.
execute_process(COMMAND chmod "--reference=${PROGRAM}" "${signed}"
  COMMAND_ERROR_IS_FATAL ANY)
file(RENAME "${signed}" "${PROGRAM}")
