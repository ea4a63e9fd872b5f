# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix); CTest runs
# the programs under wine. With the static Qt for Windows that scripts/qt-windows.sh builds, as
# the test command does:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#       -DCMAKE_PREFIX_PATH="$(scripts/qt-windows.sh)" -DQT_HOST_PATH=/usr
# or the Qt-free part alone with -DZHUHENG_WITH_QT=OFF.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model, whose libstdc++ has std::thread and std::mutex.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_STRIP x86_64-w64-mingw32-strip)

# Libraries and packages for Windows only: MinGW-w64's, and Qt for Windows where CMAKE_PREFIX_PATH
# names it. Qt finds its tools for the host (moc, uic, rcc) itself, under QT_HOST_PATH.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked in: each program is one .exe that needs no DLL of the
# compiler beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# wine with a prefix of the build folder's own, no display and no messages of its own, and no
# offer to install Mono or Gecko, which these programs do not use. With no display, Qt's
# offscreen platform: wine hands no QT_* variable of the host to a Windows program, but takes
# WINEQT_QPA_PLATFORM for its QT_QPA_PLATFORM.
find_program(ZHUHENG_WINE wine)
if(ZHUHENG_WINE)
    set(ZHUHENG_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    # The environment wine runs in, before the command (wine, or wineserver).
    set(ZHUHENG_WINE_ENV ${CMAKE_COMMAND} -E env
        --unset=DISPLAY --unset=WAYLAND_DISPLAY
        WINEPREFIX=${ZHUHENG_WINEPREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
        WINEQT_QPA_PLATFORM=offscreen)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZHUHENG_WINE_ENV} ${ZHUHENG_WINE})
endif()
