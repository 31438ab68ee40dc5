# Read by ctest once the unit-test binaries' lists are known: every test of
# a binary gets its labels, the test environment and the temporary-directory
# fixture; those matching `slow` are labelled slow rather than unit.
function(label_unit_tests list labels slow)
  foreach(test ${${list}})
    if(test MATCHES "${slow}")
      set(speed slow)
    else()
      set(speed unit)
    endif()
    set_tests_properties(${test} PROPERTIES LABELS "${speed};${labels}" ENVIRONMENT "${UNIT_TEST_ENVIRONMENT}"
                         FIXTURES_REQUIRED temp_dir)
  endforeach()
endfunction()
