# One ctest test for each GoogleTest suite of a test program, run in one
# process. Under Wine a process start costs about a fifth of a second of CPU,
# more than most of the Win32 tests themselves; a suite run whole pays it once.
# The suites are listed when ctest starts, as gtest_discover_tests does in its
# PRE_TEST mode, so a new suite needs no change here.
#
#   fablewick_add_test_suites(TARGET [FILTER negative-patterns]
#                             [PROPERTIES name value ...])
#
# FILTER (a --gtest_filter without its leading "-") names cases left out of
# every suite. PROPERTIES are set on each suite's test.
function(fablewick_add_test_suites target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FILTER" "PROPERTIES")
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake)
  get_property(emulator TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR)
  list(JOIN emulator "]==] [==[" emulatorWords)
  list(JOIN arg_PROPERTIES "]==] [==[" propertyWords)
  file(GENERATE OUTPUT ${script} CONTENT "\
set(program [==[$<TARGET_FILE:${target}>]==])
set(emulator [==[${emulatorWords}]==])
set(excluded [==[${arg_FILTER}]==])
set(properties [==[${propertyWords}]==])
if(NOT EXISTS \"\${program}\")
  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)
  return()
endif()
set(filter)
if(excluded)
  set(filter \"--gtest_filter=-\${excluded}\")
endif()
execute_process(COMMAND \${emulator} \"\${program}\" --gtest_list_tests \${filter}
  OUTPUT_VARIABLE listing RESULT_VARIABLE result TIMEOUT 120)
if(NOT result EQUAL 0)
  message(WARNING \"${target} could not list its tests (\${result}):\\n\${listing}\")
  add_test(${target}_NOT_LISTED ${target}_NOT_LISTED)
  return()
endif()
# Suite lines start in the first column and end in a dot, or in a dot and a
# comment naming a type or value parameter.
string(REGEX MATCHALL \"(^|\\n)[^ \\r\\n#][^ \\r\\n]*\\\\.\" suites \"\${listing}\")
foreach(suite IN LISTS suites)
  string(STRIP \"\${suite}\" suite)
  string(REGEX REPLACE \"\\\\.$\" \"\" suite \"\${suite}\")
  set(cases \"\${suite}.*\")
  if(excluded)
    string(APPEND cases \":-\${excluded}\")
  endif()
  add_test(\"\${suite}\" \${emulator} \"\${program}\" \"--gtest_filter=\${cases}\")
  set_tests_properties(\"\${suite}\" PROPERTIES \${properties})
endforeach()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
