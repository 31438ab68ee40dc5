# The temporary directory of a test run: MODE=prepare makes DIR empty (and
# the runtime folder RUNTIME, private as a session's is), MODE=check fails
# when anything is left in DIR (and lists what).
if(MODE STREQUAL "prepare")
  file(REMOVE_RECURSE ${DIR})
  file(MAKE_DIRECTORY ${DIR} ${RUNTIME})
  file(CHMOD ${RUNTIME} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  return()
endif()
file(GLOB left LIST_DIRECTORIES true ${DIR}/* ${DIR}/.*)
if(left)
  list(LENGTH left count)
  string(REPLACE ";" "\n  " names "${left}")
  message(FATAL_ERROR "${count} entries left in the temporary directory:\n  ${names}")
endif()
message(STATUS "the temporary directory is as empty as before the run")
