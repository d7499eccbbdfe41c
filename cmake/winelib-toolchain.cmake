# Winelib: Win32 programs built as Linux ELF objects that run under wine.
set(CMAKE_SYSTEM_NAME Linux)
set(WINE_TOOLS_DIR /usr/lib/wine)
set(CMAKE_C_COMPILER ${WINE_TOOLS_DIR}/winegcc)
set(CMAKE_CXX_COMPILER ${WINE_TOOLS_DIR}/wineg++)
set(CMAKE_RC_COMPILER ${WINE_TOOLS_DIR}/wrc)

# winegcc writes foo.exe (a launcher script) and foo.exe.so; naming the target's
# file foo.exe keeps CMake from relinking everything on every build.
set(CMAKE_EXECUTABLE_SUFFIX_C .exe)
set(CMAKE_EXECUTABLE_SUFFIX_CXX .exe)
# The ABI probe cannot link a winelib executable on its own.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# find_package and pkg-config must still find Debian's libraries.
set(CMAKE_LIBRARY_ARCHITECTURE x86_64-linux-gnu)
# wrc takes -o, not /fo.
set(CMAKE_RC_COMPILE_OBJECT "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -o <OBJECT> <SOURCE>")
