# korva_library(NAME PREFIX layer/path SOURCES ... LINKS ...): one library target per
# folder. Its headers are included as "<PREFIX>/Header.h", and a target sees the headers
# of exactly what it links: each target's include root holds only a link named PREFIX
# to its own folder, so an include of a layer that is not linked does not compile.
function(korva_library name)
  cmake_parse_arguments(K "" "PREFIX" "SOURCES;LINKS" ${ARGN})
  if(NOT K_PREFIX)
    message(FATAL_ERROR "korva_library(${name}): PREFIX is required")
  endif()
  add_library(${name} STATIC ${K_SOURCES})
  korva_include_root(${name} ${K_PREFIX} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${K_LINKS})
  set_property(GLOBAL APPEND PROPERTY KORVA_LIBRARIES ${name})
endfunction()

# Gives target an include root where "<prefix>/x.h" is folder/x.h.
function(korva_include_root target prefix folder)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${prefix} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${prefix})
    file(CREATE_LINK ${folder} ${root}/${prefix} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
endfunction()

# Every library that korva_library made and that `target` reaches through its links.
function(korva_link_closure target out)
  set(seen)
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo t)
    if(NOT TARGET ${t} OR t IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${t})
    get_target_property(links ${t} INTERFACE_LINK_LIBRARIES)
    if(links)
      list(APPEND todo ${links})
    endif()
    get_target_property(type ${t} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${t} LINK_LIBRARIES)
      if(links)
        list(APPEND todo ${links})
      endif()
    endif()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The layering rules, checked at configure time (see ARCHITECTURE.md): a rules library
# reaches no widget; the framework reaches none of KORVA's own folders; plain widgets
# reach no dataset; only the schema builder and the database tool reach the client API
# that opens a second attachment.
function(korva_check_layers)
  get_property(libraries GLOBAL PROPERTY KORVA_LIBRARIES)
  set(framework korva_text korva_db korva_fbapi korva_fbservice korva_widgets korva_dbui korva_report korva_pivot)
  set(errors)
  foreach(lib ${libraries})
    korva_link_closure(${lib} closure)
    list(REMOVE_ITEM closure ${lib})
    if(lib MATCHES "_rules$")
      foreach(bad Qt6::Widgets Qt6::Gui Qt6::PrintSupport Qt6::Charts korva_widgets korva_dbui korva_report korva_pivot korva_forms)
        if(bad IN_LIST closure)
          list(APPEND errors "${lib} is a rules library but reaches ${bad}")
        endif()
      endforeach()
    endif()
    if(lib IN_LIST framework)
      foreach(dep ${closure})
        if(dep MATCHES "^korva_" AND NOT dep IN_LIST framework)
          list(APPEND errors "${lib} belongs to the framework but reaches ${dep}")
        endif()
      endforeach()
    endif()
    if(lib STREQUAL "korva_widgets" AND "korva_db" IN_LIST closure)
      list(APPEND errors "korva_widgets reaches korva_db")
    endif()
    if(lib STREQUAL "korva_pivot" AND ("korva_db" IN_LIST closure OR "korva_dbui" IN_LIST closure))
      list(APPEND errors "korva_pivot reaches a dataset or a data-aware control")
    endif()
    if(NOT lib MATCHES "^korva_(fbapi|schema)$" AND "korva_fbapi" IN_LIST closure)
      list(APPEND errors "${lib} reaches korva_fbapi, which only the schema builder and korva-db may use")
    endif()
  endforeach()
  if(TARGET korva)
    korva_link_closure(korva closure)
    if("korva_fbapi" IN_LIST closure)
      list(APPEND errors "the program reaches korva_fbapi")
    endif()
  endif()
  if(errors)
    list(JOIN errors "\n  " text)
    message(FATAL_ERROR "Layering broken:\n  ${text}")
  endif()
endfunction()

# The tests' embedded engines keep their lock table apart from a KORVA the developer may
# be running, so that a program left hanging there cannot stall a test run.
set(KORVA_TEST_LOCK_DIR ${CMAKE_BINARY_DIR}/test-firebird-lock)

# The tests' own Firebird server (scripts/firebird-server.sh), started once per run by the
# CTest fixture start_test_server for the tests that need one.
set(KORVA_TEST_SERVER_DIR ${CMAKE_BINARY_DIR}/test-server)

# korva_test(NAME [ENGINE] [SERVER | SERVER_ONLY] SOURCES ... LINKS ...): a Qt Test
# executable under CTest. In a sanitizer build, a test runs with leak checks
# (tests/lsan.supp) unless it starts the embedded engine, beside whose threads the leak
# checker can crash at exit: a test that links the test support (which gives it
# databases) or says ENGINE.
# SERVER runs it a second time, as NAME_servidor, against the test server
# (support::TestDatabase gives it databases there); SERVER_ONLY runs it against the server
# alone. Without a server such a run is reported as skipped (exit code 77), with the reason.
function(korva_test name)
  cmake_parse_arguments(K "ENGINE;SERVER;SERVER_ONLY" "TIMEOUT" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${K_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${K_LINKS})
  if(NOT K_TIMEOUT)
    set(K_TIMEOUT 600)
  endif()
  # Every test may copy a template database (tests/support): they are made first.
  add_dependencies(${name} korva-db)
  set(environment "QT_QPA_PLATFORM=offscreen;KORVA_TEST_TEMPLATE_DIR=${CMAKE_BINARY_DIR}/test-template;KORVA_SOURCE_DIR=${CMAKE_SOURCE_DIR};FIREBIRD_LOCK=${KORVA_TEST_LOCK_DIR}")
  if(KORVA_SANITIZE AND NOT K_ENGINE AND NOT "korva_testsupport" IN_LIST K_LINKS)
    list(APPEND environment
      "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1"
      "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
  endif()
  if(NOT K_SERVER_ONLY)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${K_TIMEOUT}
      FIXTURES_REQUIRED korva_templates
      ENVIRONMENT "${environment}")
  endif()
  if(K_SERVER OR K_SERVER_ONLY)
    set(server_name ${name})
    if(K_SERVER)
      set(server_name ${name}_servidor)
    endif()
    add_test(NAME ${server_name} COMMAND ${name})
    set_tests_properties(${server_name} PROPERTIES TIMEOUT ${K_TIMEOUT}
      FIXTURES_REQUIRED "korva_templates;korva_server"
      SKIP_RETURN_CODE 77
      ENVIRONMENT "${environment};KORVA_TEST_SERVER_DIR=${KORVA_TEST_SERVER_DIR}")
  endif()
endfunction()
