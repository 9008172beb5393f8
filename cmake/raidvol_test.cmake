# raidvol_test(NAME PART part... COST fast|slow
#              {GTEST program [FILTER pattern] | COMMAND command...}
#              [NEEDS need...] [ENVIRONMENT name=value...] [PROPERTIES ...])
#
# The one way to add a test. It is labelled with the part it shows and its
# cost: "fast" runs in under a second, "slow" takes longer. GTEST lists each
# case of a GoogleTest program (FILTER picks some) as a test of its own,
# named NAME.<case>; COMMAND is one test, NAME. Every test gets a temporary
# folder of its own build folder, where the programs it writes may run; a
# test program that finds it cannot run them there exits with 77, "skipped".
# Where a need is missing, with missing_<need> saying why, the test is still
# listed, and is reported as skipped with that reason.
include(GoogleTest)

function(raidvol_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "COST;GTEST;FILTER"
    "PART;COMMAND;NEEDS;ENVIRONMENT;PROPERTIES")
  set(labels ${arg_PART} ${arg_COST})
  # A test that hangs fails long before CTest's own limit of 25 minutes.
  if(arg_COST STREQUAL "fast")
    set(arg_PROPERTIES TIMEOUT 60 ${arg_PROPERTIES})
  else()
    set(arg_PROPERTIES TIMEOUT 300 ${arg_PROPERTIES})
  endif()
  set(temporary ${CMAKE_CURRENT_BINARY_DIR}/tmp)
  file(MAKE_DIRECTORY ${temporary})
  set(environment TMPDIR=${temporary} ${arg_ENVIRONMENT})
  foreach(need IN LISTS arg_NEEDS)
    if(missing_${need})
      message(STATUS "${name} will be skipped: ${missing_${need}}")
      add_test(NAME ${name}
        COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${missing_${need}}")
      set_tests_properties(${name} PROPERTIES
        LABELS "${labels}" SKIP_REGULAR_EXPRESSION "skipped: ")
      return()
    endif()
  endforeach()

  if(NOT arg_GTEST)
    add_test(NAME ${name} COMMAND ${arg_COMMAND})
    set_tests_properties(${name} PROPERTIES
      LABELS "${labels}" ENVIRONMENT "${environment}" ${arg_PROPERTIES})
    return()
  endif()
  # The discovery would flatten the lists of labels and environment, so they
  # are set once CTest knows the cases.
  if(NOT arg_FILTER)
    set(arg_FILTER *)
  endif()
  gtest_discover_tests(${arg_GTEST} TEST_PREFIX ${name}. TEST_FILTER ${arg_FILTER}
    TEST_LIST ${name}_cases PROPERTIES ${arg_PROPERTIES})
  set(lists_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_lists.cmake)
  file(WRITE ${lists_script} "if(${name}_cases)\n"
    "  set_tests_properties(\${${name}_cases} PROPERTIES\n"
    "    LABELS [==[${labels}]==] ENVIRONMENT [==[${environment}]==]\n"
    "    SKIP_RETURN_CODE 77)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${lists_script})
endfunction()

# raidvol_need_program(NEED PROGRAM PACKAGE): where PROGRAM is not found, sets
# missing_NEED to say which package brings it, for the tests that need NEED.
macro(raidvol_need_program need program package)
  find_program(RAIDVOL_PROGRAM_${need} ${program})
  if(NOT RAIDVOL_PROGRAM_${need})
    set(missing_${need} "${program} not found: install ${package}")
  endif()
endmacro()
