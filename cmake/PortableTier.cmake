# The portable tier: plain C++ libraries, their native tests and the benchmarks.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

find_package(PkgConfig REQUIRED)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
include(GoogleTest)
include(TarvelDeps)

# Bottom up; each library's CMakeLists names what it uses, and the layers only point
# down (scripts/check-library-graph.sh, run as a test, fails on a cycle):
#   seams, portaudio adapter, encoder library   platform/
#   settings records                            app/settings
#   model, running copies                       core/model, core/instances
#   file I/O and encoder binding                audiofiles/io
#   writers, importers                          audiofiles/writers, audiofiles/import
#   engine                                      core/engine
#   project                                     core/project
#   export, effects                             audiofiles/export, audiofiles/effects
#   scheduler timetable                         options/scheduler
tarvel_add_folders(
  platform/seams platform/portaudio platform/lame_enc
  app/settings
  core/model core/instances
  audiofiles/io audiofiles/writers audiofiles/import
  core/engine core/project
  audiofiles/export audiofiles/effects
  options/scheduler
  tests
  tests/fuzz    # a short fuzzing run of the importers (built separately with clang)
  bench)

# Every portable source belongs to a target of this tree (the window tier checks its own).
tarvel_check_sources(
  ROOTS core audiofiles app/settings options/scheduler platform/seams platform/portaudio
        platform/lame_enc bench tests
  IGNORE "^audiofiles/dialogs/" "^platform/seams/win32/" "^bench/win/" "^tests/fuzz/" "_wintest\\.cpp$"
         "^tests/support/wine/")

# Each tier writes its graph when it is configured (the window tier's in build/win).
set(TARVEL_LIBRARY_GRAPHS ${CMAKE_BINARY_DIR}/library-graph.txt)
if(TARVEL_WITH_WINDOW_TIER)
  list(APPEND TARVEL_LIBRARY_GRAPHS ${CMAKE_BINARY_DIR}/win/library-graph.txt)
endif()
tarvel_write_library_graph(${CMAKE_BINARY_DIR}/library-graph.txt)
add_test(NAME build.library_graph
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-library-graph.sh ${TARVEL_LIBRARY_GRAPHS})
# The check itself must see a cycle when there is one.
add_test(NAME build.library_graph_finds_cycles
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-library-graph.sh
          ${CMAKE_SOURCE_DIR}/tests/support/cyclic-library-graph.txt)
set_tests_properties(build.library_graph build.library_graph_finds_cycles PROPERTIES LABELS "native;build")
set_tests_properties(build.library_graph_finds_cycles PROPERTIES WILL_FAIL TRUE)
# Every source in the one layout of .clang-format.
add_test(NAME build.format COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-format.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(build.format PROPERTIES LABELS "native;build")

# Hand the portable libraries to the window tier.
get_property(_portable_libs GLOBAL PROPERTY TARVEL_PORTABLE_LIBRARIES)
set(TARVEL_PORTABLE_EXPORT ${CMAKE_BINARY_DIR}/tarvel-portable-targets.cmake)
export(TARGETS ${_portable_libs} NAMESPACE portable:: FILE ${TARVEL_PORTABLE_EXPORT})

if(TARVEL_WITH_WINDOW_TIER)
  include(ExternalProject)
  ExternalProject_Add(window_tier
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/win
    CMAKE_ARGS
      -DTARVEL_TIER=window
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/winelib-toolchain.cmake
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DTARVEL_PORTABLE_EXPORT=${TARVEL_PORTABLE_EXPORT}
      -DTARVEL_PORTABLE_BINARY_DIR=${CMAKE_BINARY_DIR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    DEPENDS ${_portable_libs}
    USES_TERMINAL_BUILD ON)
  # Pull the window tier's tests into this tree's ctest run.
  # (subdirs, not include: the sub-tree's own test files name their folders relative
  # to its build folder.)
  file(WRITE ${CMAKE_BINARY_DIR}/window-tier-tests.cmake
    "if(EXISTS \"${CMAKE_BINARY_DIR}/win/CTestTestfile.cmake\")\n"
    "  subdirs(\"${CMAKE_BINARY_DIR}/win\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
    ${CMAKE_BINARY_DIR}/window-tier-tests.cmake)
endif()
