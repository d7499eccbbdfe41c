# The window tier: our framework layer, the toolkit, the program and its windows,
# built with wineg++ and run under wine.
enable_language(RC)
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)
# Everything ends up in a shared object (foo.exe.so).
add_compile_options(-fPIC)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wall> $<$<COMPILE_LANGUAGE:CXX>:-Wno-unused-parameter>)

find_package(PkgConfig REQUIRED)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
include(TarvelDeps)
include(GoogleTest)
# The portable libraries, built with g++ by the outer tree.
include(${TARVEL_PORTABLE_EXPORT})

set(TARVEL_WIN32_LIBS user32 gdi32 comctl32 comdlg32 shell32 ole32 oleaut32 uuid advapi32
    winmm dsound wininet shlwapi msimg32)
set(TARVEL_WINE_RUNNER ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(TARVEL_WINE_ENV ${CMAKE_SOURCE_DIR}/scripts/wine-env.sh)
# Everything wine needs lives in the outer build folder: the prefix and the state of
# the shared display and wineserver.
set(TARVEL_WINE_STATE ${TARVEL_PORTABLE_BINARY_DIR}/wine)
file(MAKE_DIRECTORY ${TARVEL_PORTABLE_BINARY_DIR}/screenshots)

# Bottom up: the Win32 seams and the framework, the resources, the toolkit, the
# player, the program's controls, the effect dialogs, the program.
tarvel_add_folders(
  platform/seams/win32 platform/afx
  resources
  toolkit
  player
  app/controls app/bars audiofiles/dialogs app/view app/looks app/skin options/sheet app/panel
  options/schedule options/log options/about options/wizard options/help app
  bench/win)

# Four wine environments (each a prefix, virtual display, wineserver and virtual desktop)
# serve the wine tests of a run, which take turns between them; each is started once
# and stopped at the end so nothing is left running and CTest never waits on a pipe
# held by wine's background processes. Most of a program test's time is spent waiting
# for real-time audio, so the environments run side by side. The first is the one the
# benchmarks and the README name (build/wine); the others are build/wine-2, -3, -4.
set(TARVEL_WINE_LANES 4)
math(EXPR _lastLane "${TARVEL_WINE_LANES} - 1")
foreach(_lane RANGE ${_lastLane})
  if(_lane EQUAL 0)
    set(TARVEL_WINE_LANE_SUFFIX_${_lane} "")
  else()
    math(EXPR _number "${_lane} + 1")
    set(TARVEL_WINE_LANE_SUFFIX_${_lane} "-${_number}")
  endif()
  set(_state ${TARVEL_WINE_STATE}${TARVEL_WINE_LANE_SUFFIX_${_lane}})
  add_test(NAME wine.setup${TARVEL_WINE_LANE_SUFFIX_${_lane}} COMMAND ${TARVEL_WINE_ENV} start ${_state})
  add_test(NAME wine.cleanup${TARVEL_WINE_LANE_SUFFIX_${_lane}} COMMAND ${TARVEL_WINE_ENV} stop ${_state})
  set_tests_properties(wine.setup${TARVEL_WINE_LANE_SUFFIX_${_lane}} PROPERTIES
    FIXTURES_SETUP wine_env_${_lane} LABELS wine TIMEOUT 300)
  set_tests_properties(wine.cleanup${TARVEL_WINE_LANE_SUFFIX_${_lane}} PROPERTIES
    FIXTURES_CLEANUP wine_env_${_lane} LABELS wine TIMEOUT 120)
endforeach()

add_subdirectory(tests)

tarvel_check_sources(
  ROOTS platform/afx platform/seams/win32 toolkit app player options audiofiles/dialogs bench/win tests
  IGNORE "^app/settings/" "^options/scheduler/" "^tests/fuzz/" "_test\\.cpp$" "^tests/support/native/"
         "^tests/platform/lame_enc/")
tarvel_write_library_graph(${CMAKE_BINARY_DIR}/library-graph.txt)
