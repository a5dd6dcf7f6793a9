# The windows preset's toolchain: mingw-w64 and Qt for Windows as scripts/windows-qt.sh builds and
# caches it (its folder in SUMMENLEITER_QT_WINDOWS, by default the cache's newest build). The tests
# run under Wine.
if(NOT SUMMENLEITER_QT_WINDOWS)
    set(SUMMENLEITER_QT_WINDOWS "$ENV{SUMMENLEITER_QT_WINDOWS}")
endif()
if(NOT SUMMENLEITER_QT_WINDOWS)
    if(DEFINED ENV{XDG_CACHE_HOME})
        set(SUMMENLEITER_QT_WINDOWS "$ENV{XDG_CACHE_HOME}/summenleiter/qt-windows")
    else()
        set(SUMMENLEITER_QT_WINDOWS "$ENV{HOME}/.cache/summenleiter/qt-windows")
    endif()
endif()
get_filename_component(SUMMENLEITER_QT_WINDOWS "${SUMMENLEITER_QT_WINDOWS}" REALPATH)
if(NOT EXISTS "${SUMMENLEITER_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")
    message(FATAL_ERROR "No Qt for Windows in ${SUMMENLEITER_QT_WINDOWS}: scripts/windows-qt.sh builds it")
endif()
set(SUMMENLEITER_QT_WINDOWS "${SUMMENLEITER_QT_WINDOWS}" CACHE PATH "Qt for Windows" FORCE)
# Toolchain files are read again for every compiler check, which sees only these variables.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SUMMENLEITER_QT_WINDOWS)

set(QT_CHAINLOAD_TOOLCHAIN_FILE "${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake")
include("${SUMMENLEITER_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")

# Debian keeps the 64-bit loader off PATH.
find_program(SUMMENLEITER_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(SUMMENLEITER_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${SUMMENLEITER_WINE64}")
endif()
