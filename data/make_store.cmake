# Creates an empty colour store from the schema, once: an existing store holds
# the user's colours and is never replaced.
if(EXISTS "${STORE}")
  return()
endif()
find_program(SQLITE3 sqlite3 REQUIRED)
execute_process(COMMAND ${SQLITE3} "${STORE}" INPUT_FILE "${SCHEMA}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE "${STORE}")
  message(FATAL_ERROR "could not create ${STORE} from ${SCHEMA}")
endif()
