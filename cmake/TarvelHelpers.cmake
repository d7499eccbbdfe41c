# How every library, program and test of both tiers is declared. Each names its
# sources and the libraries it uses; nothing is picked up by globbing, and the
# checks at the end of the configure step (tarvel_check_sources) make a source
# file or folder that no target lists an error instead of silently unbuilt.

# tarvel_add_folders(dir...)
# Adds source folders; a listed folder that does not exist is an error.
function(tarvel_add_folders)
  foreach(dir ${ARGN})
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
      message(FATAL_ERROR "build folder ${dir} is listed but has no CMakeLists.txt")
    endif()
    add_subdirectory(${CMAKE_SOURCE_DIR}/${dir} ${CMAKE_BINARY_DIR}/${dir})
  endforeach()
endfunction()

# Records a target of ours: for the library graph check and the source check.
function(tarvel_record_target name)
  set_property(GLOBAL APPEND PROPERTY TARVEL_TARGETS ${name})
  get_target_property(_type ${name} TYPE)
  if(NOT _type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(_srcs ${name} SOURCES)
    get_target_property(_dir ${name} SOURCE_DIR)
    foreach(src ${_srcs})
      if(src MATCHES "^\\$<")
        continue()
      endif()
      get_filename_component(_abs ${src} ABSOLUTE BASE_DIR ${_dir})
      set_property(GLOBAL APPEND PROPERTY TARVEL_LISTED_SOURCES ${_abs})
    endforeach()
  endif()
endfunction()

# tarvel_portable_library(name SOURCES... [LIBS ...])
# A static, position-independent library of the portable tier; exported to the
# window tier as portable::name.
function(tarvel_portable_library name)
  tarvel_library(${name} ${ARGN})
  set_property(GLOBAL APPEND PROPERTY TARVEL_PORTABLE_LIBRARIES ${name})
endfunction()

# tarvel_library(name SOURCES... [LIBS ...])
# A static library of the tier being configured (g++ for the portable tier, wineg++
# for the window tier); its users see the source root as include folder and the
# libraries it uses.
function(tarvel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "library ${name} lists no sources")
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  tarvel_record_target(${name})
endfunction()

# tarvel_native_test(name SOURCES... LIBS... [LABELS ...] [PROPERTIES ...])
# A GoogleTest binary of the portable tier, linked with the libraries it tests and
# the native test support library; each test case becomes a ctest test.
function(tarvel_native_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarvel_test_support tarvel_alsa_plugin_pins
                        tarvel_test_process_setup GTest::gtest
                        GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    TARVEL_TEST_BINARY_DIR="${CMAKE_BINARY_DIR}" TARVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "native."
    PROPERTIES LABELS "native;${ARG_LABELS}" ${ARG_PROPERTIES})
  tarvel_record_target(${name})
endfunction()

# tarvel_wine_program(name [GUI] SOURCES... [LIBS ...])
# A winelib executable (name.exe + name.exe.so).
function(tarvel_wine_program name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} $<TARGET_OBJECTS:tarvel_code_page>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${TARVEL_WIN32_LIBS})
  if(ARG_GUI)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
  tarvel_record_target(${name})
endfunction()

# tarvel_wine_test(name SOURCES... LIBS... [RESOURCES] [RC script] [RC_DEPENDS files...])
# A winelib GoogleTest binary, linked with the libraries it tests and the wine test
# support library, run under wine in the shared wine environment. RESOURCES links
# the program's compiled resource script in (dialog templates, strings, bitmaps); RC
# compiles a resource script of the tests' own instead, rebuilt when one of the
# RC_DEPENDS files (the bitmaps it names) changes.
# Each test case becomes a ctest test named wine.<Suite>.<Case>.
function(tarvel_wine_test name)
  cmake_parse_arguments(ARG "RESOURCES" "RC" "SOURCES;LIBS;RC_DEPENDS" ${ARGN})
  set(_srcs ${ARG_SOURCES})
  if(ARG_RESOURCES)
    list(APPEND _srcs $<TARGET_OBJECTS:tarvel_resources>)
  endif()
  if(ARG_RC)
    list(APPEND _srcs ${ARG_RC})
    get_filename_component(_rc_dir ${ARG_RC} DIRECTORY)
    set(_rc_deps "")
    foreach(dep ${ARG_RC_DEPENDS})
      list(APPEND _rc_deps ${CMAKE_CURRENT_SOURCE_DIR}/${dep})
    endforeach()
    set_source_files_properties(${ARG_RC} PROPERTIES
      OBJECT_DEPENDS "${_rc_deps}"
      COMPILE_FLAGS "-I${CMAKE_CURRENT_SOURCE_DIR}/${_rc_dir}")
  endif()
  add_executable(${name} ${_srcs} $<TARGET_OBJECTS:tarvel_code_page>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarvel_wine_test_support GTest::gtest
                        ${TARVEL_WIN32_LIBS} Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    TARVEL_TEST_BINARY_DIR="${TARVEL_PORTABLE_BINARY_DIR}" TARVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${TARVEL_WINE_RUNNER})
  # Test cases are found by reading the sources: listing them would mean starting
  # wine at build time.
  gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_PREFIX "wine." TEST_LIST _tests)
  # Each test runs in its own process, so the tests take turns between the wine
  # environments of the run (each serialised on its own display), in the order listed.
  get_property(_turn GLOBAL PROPERTY TARVEL_WINE_TURN)
  if(NOT _turn)
    set(_turn 0)
  endif()
  foreach(_test ${_tests})
    math(EXPR _lane "${_turn} % ${TARVEL_WINE_LANES}")
    math(EXPR _turn "${_turn} + 1")
    set_tests_properties(${_test} PROPERTIES
      FIXTURES_REQUIRED wine_env_${_lane}
      RESOURCE_LOCK wine_display_${_lane}
      LABELS wine
      TIMEOUT 120
      ENVIRONMENT "TARVEL_WINE_STATE=${TARVEL_WINE_STATE}${TARVEL_WINE_LANE_SUFFIX_${_lane}}")
  endforeach()
  set_property(GLOBAL PROPERTY TARVEL_WINE_TURN ${_turn})
  tarvel_record_target(${name})
endfunction()

# tarvel_check_sources(ROOTS dir... [IGNORE regex...])
# Every C++ source under the given folders must belong to a target of this tree;
# otherwise a file (or a whole folder) added without naming it in a CMakeLists
# would never be compiled, and nobody would notice.
function(tarvel_check_sources)
  cmake_parse_arguments(ARG "" "" "ROOTS;IGNORE" ${ARGN})
  get_property(_listed GLOBAL PROPERTY TARVEL_LISTED_SOURCES)
  set(_missing "")
  foreach(root ${ARG_ROOTS})
    file(GLOB_RECURSE _found ${CMAKE_SOURCE_DIR}/${root}/*.cpp)
    foreach(src ${_found})
      file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR} ${src})
      set(_skip FALSE)
      foreach(pattern ${ARG_IGNORE})
        if(_rel MATCHES "${pattern}")
          set(_skip TRUE)
        endif()
      endforeach()
      if(NOT _skip AND NOT src IN_LIST _listed)
        list(APPEND _missing ${_rel})
      endif()
    endforeach()
  endforeach()
  if(_missing)
    list(JOIN _missing "\n  " _text)
    message(FATAL_ERROR "sources that no target of this tier lists (add them to their "
                        "folder's CMakeLists.txt):\n  ${_text}")
  endif()
endfunction()

# tarvel_write_library_graph(FILE)
# Writes the link edges between this tree's own targets, one "user used" pair a
# line, for scripts/check-library-graph.sh (a ctest test) to look for cycles.
function(tarvel_write_library_graph file)
  get_property(_targets GLOBAL PROPERTY TARVEL_TARGETS)
  set(_edges "")
  foreach(t ${_targets})
    get_target_property(_type ${t} TYPE)
    set(_deps "")
    if(NOT _type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(_link ${t} LINK_LIBRARIES)
      if(_link)
        list(APPEND _deps ${_link})
      endif()
    endif()
    get_target_property(_ilink ${t} INTERFACE_LINK_LIBRARIES)
    if(_ilink)
      list(APPEND _deps ${_ilink})
    endif()
    list(REMOVE_DUPLICATES _deps)
    foreach(d ${_deps})
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" d "${d}")
      string(REGEX REPLACE "^portable::" "" d "${d}")
      if(d IN_LIST _targets AND NOT d STREQUAL t)
        string(APPEND _edges "${t} ${d}\n")
      endif()
    endforeach()
    # A pair of the same name only names the target (tsort's convention), so a
    # target without edges still shows in the graph.
    string(APPEND _edges "${t} ${t}\n")
  endforeach()
  file(WRITE ${file} "${_edges}")
endfunction()
