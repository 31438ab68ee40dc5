# Read by ctest once the unit-test binaries' lists are known: every test of
# a binary gets its labels, the test environment and the temporary-directory
# fixture; those named in `slow` (suite.test, or suite.* for a whole suite)
# are labelled slow rather than unit.
function(label_unit_tests list labels slow)
  foreach(test ${${list}})
    set(speed unit)
    foreach(name ${slow})
      string(REGEX REPLACE "\\*$" "" prefix "${name}")
      string(FIND "${test}" "${prefix}" at)
      if((name MATCHES "\\*$" AND at EQUAL 0) OR test STREQUAL name)
        set(speed slow)
      endif()
    endforeach()
    set_tests_properties(${test} PROPERTIES LABELS "${speed};${labels}" ENVIRONMENT "${UNIT_TEST_ENVIRONMENT}"
                         FIXTURES_REQUIRED temp_dir)
  endforeach()
endfunction()
