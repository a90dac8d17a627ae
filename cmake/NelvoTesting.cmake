# nelvo_add_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>])
# One QtTest program per behaviour area, run by CTest on the offscreen platform.
function(nelvo_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE nelvo_flags Qt6::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;NELVO_DIST_DIR=${NELVO_DIST_DIR};NELVO_SOURCE_DIR=${CMAKE_SOURCE_DIR};${T_ENV}"
    TIMEOUT 300)
endfunction()
