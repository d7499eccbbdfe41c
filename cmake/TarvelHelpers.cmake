# tarvel_portable_library(name SOURCES... [LIBS ...])
# A static, position-independent library of the portable tier; exported to the
# window tier as portable::name.
function(tarvel_portable_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    # A folder whose sources have not arrived yet.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
  set_property(GLOBAL APPEND PROPERTY TARVEL_PORTABLE_LIBRARIES ${name})
endfunction()

# tarvel_native_test(name SOURCES... [LIBS ...] [LABELS ...])
# A GoogleTest binary of the portable tier; each test case becomes a ctest test.
function(tarvel_native_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    TARVEL_TEST_BINARY_DIR="${CMAKE_BINARY_DIR}" TARVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "native."
    PROPERTIES LABELS "native;${ARG_LABELS}" ${ARG_PROPERTIES})
endfunction()

# tarvel_wine_program(name [GUI] SOURCES... [LIBS ...])
# A winelib executable (name.exe + name.exe.so).
function(tarvel_wine_program name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${TARVEL_WIN32_LIBS})
  if(ARG_GUI)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
endfunction()

# tarvel_wine_test(name SOURCES... [LIBS ...])
# A winelib GoogleTest binary, run under wine in the shared wine environment.
# Each test case becomes a ctest test named wine.<Suite>.<Case>.
function(tarvel_wine_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  get_property(_libs GLOBAL PROPERTY TARVEL_WINE_TEST_LIBRARIES)
  add_executable(${name} ${ARG_SOURCES} $<TARGET_OBJECTS:tarvel_resources>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${_libs} ${TARVEL_PORTABLE_TARGETS} GTest::gtest ${TARVEL_WIN32_LIBS}
                        Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    TARVEL_TEST_BINARY_DIR="${TARVEL_PORTABLE_BINARY_DIR}" TARVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${TARVEL_WINE_RUNNER})
  # Test cases are found by reading the sources: listing them would mean starting
  # wine at build time.
  gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_PREFIX "wine." TEST_LIST _tests)
  set_tests_properties(${_tests} PROPERTIES
    FIXTURES_REQUIRED wine_env
    RESOURCE_LOCK wine_display
    LABELS wine
    TIMEOUT 120
    ENVIRONMENT "TARVEL_WINE_STATE=${TARVEL_WINE_STATE}")
endfunction()
