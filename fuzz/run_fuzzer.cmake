# Runs one fuzz target for a bounded time, as a test: cmake -D FUZZER=...
# -D SEEDS=... -D GENERATED_SEEDS=... -D WORK=... -D SECONDS=...
# -D MAX_LEN=... -P run_fuzzer.cmake
# It starts from a fresh copy of both folders of seeds in WORK/corpus, so the
# seeds it is given are only read, and fails if any input crashes the target;
# that input is kept in WORK/findings, which later runs leave in place.
foreach(variable IN ITEMS FUZZER SEEDS GENERATED_SEEDS WORK SECONDS MAX_LEN)
  if(NOT ${variable})
    message(FATAL_ERROR "run_fuzzer.cmake needs -D ${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK}/corpus)
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/findings)
file(COPY ${SEEDS}/ ${GENERATED_SEEDS}/ DESTINATION ${WORK}/corpus)

execute_process(
  COMMAND ${FUZZER}
    -max_total_time=${SECONDS} -max_len=${MAX_LEN} -timeout=10
    -artifact_prefix=${WORK}/findings/ -print_final_stats=1
    ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  INPUT_FILE /dev/null
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR
    "${FUZZER} failed (${result}); the input is in ${WORK}/findings")
endif()
