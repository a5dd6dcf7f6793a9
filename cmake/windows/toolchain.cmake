# The windows preset's toolchain: mingw-w64 and Qt for Windows as scripts/windows-qt.sh builds and
# caches it (its folder in SUMMENLEITER_QT_WINDOWS, by default the cache's newest build). The tests
# run under Wine.
include("${CMAKE_CURRENT_LIST_DIR}/../cached_qt.cmake")
summenleiter_cached_qt(SUMMENLEITER_QT_WINDOWS qt-windows "Qt for Windows" scripts/windows-qt.sh)

set(QT_CHAINLOAD_TOOLCHAIN_FILE "${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake")
include("${SUMMENLEITER_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")

# Debian keeps the 64-bit loader off PATH.
find_program(SUMMENLEITER_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(SUMMENLEITER_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${SUMMENLEITER_WINE64}")
endif()
