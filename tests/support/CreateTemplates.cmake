# Creates the template databases that support::TestDatabase copies for each test:
# empty.gdb (schema and reference data) and demo.gdb (with the demonstration
# installation). Run as: cmake -DTOOL=<korva-db> -DDIR=<folder> -P CreateTemplates.cmake
if(NOT EXISTS "${TOOL}")
  message(FATAL_ERROR "korva-db not built: ${TOOL}")
endif()
file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}")
foreach(kind empty demo)
  set(args create)
  if(kind STREQUAL "demo")
    list(APPEND args --demo)
  endif()
  execute_process(COMMAND "${TOOL}" ${args} "${DIR}/${kind}.gdb" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "korva-db ${args} ${DIR}/${kind}.gdb failed (${rc})")
  endif()
endforeach()
