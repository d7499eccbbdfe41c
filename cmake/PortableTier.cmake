# The portable tier: plain C++ libraries, their native tests and the benchmarks.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

find_package(PkgConfig REQUIRED)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
include(GoogleTest)
include(TarvelDeps)

foreach(dir platform/seams platform/portaudio core app/settings audiofiles core/project options/scheduler platform/lame_enc)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()

add_subdirectory(tests)
# A short fuzzing run of the importers (built separately with clang).
add_subdirectory(tests/fuzz)
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()

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
