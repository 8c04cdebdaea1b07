# korva_library(NAME SOURCES ... LINKS ...): one library target per folder. A target
# sees only the headers of what it links, so the layering stays honest.
function(korva_library name)
  cmake_parse_arguments(K "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${K_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${K_LINKS})
endfunction()

# The tests' embedded engines keep their lock table apart from a KORVA the developer may
# be running, so that a program left hanging there cannot stall a test run.
set(KORVA_TEST_LOCK_DIR ${CMAKE_BINARY_DIR}/test-firebird-lock)

# korva_test(NAME SOURCES ... LINKS ...): a Qt Test executable under CTest.
function(korva_test name)
  cmake_parse_arguments(K "" "TIMEOUT" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${K_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${K_LINKS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT K_TIMEOUT)
    set(K_TIMEOUT 600)
  endif()
  # Every test may copy a template database (tests/support): they are made first.
  add_dependencies(${name} korva-db)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${K_TIMEOUT}
    FIXTURES_REQUIRED korva_templates
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KORVA_TEST_TEMPLATE_DIR=${CMAKE_BINARY_DIR}/test-template;KORVA_SOURCE_DIR=${CMAKE_SOURCE_DIR};FIREBIRD_LOCK=${KORVA_TEST_LOCK_DIR}")
endfunction()
