# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix).
# The tests then run under Wine: CTest starts each .exe through the emulator below.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Appended, so that a Qt prefix given on the command line stays searchable.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime for the core alone: its .exe files need no MinGW DLLs beside them. Against a
# shared Qt, the program shares Qt's runtime DLLs instead (FFNAME_SHARED_RUNTIME=ON), so that
# one C++ runtime runs the process.
if(NOT FFNAME_SHARED_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
endif()

set(CMAKE_CROSSCOMPILING_EMULATOR env;WINEDEBUG=-all;/usr/bin/wine)
