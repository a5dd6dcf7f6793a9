# The web preset's toolchain: Debian's emscripten and Qt for WebAssembly as scripts/web-qt.sh builds
# and caches it (its folder in SUMMENLEITER_QT_WEB, by default the cache's newest build). The
# environment comes from scripts/web-env.sh, which scripts/web.sh sets up.
include("${CMAKE_CURRENT_LIST_DIR}/../cached_qt.cmake")
summenleiter_cached_qt(SUMMENLEITER_QT_WEB qt-web "Qt for WebAssembly" scripts/web-qt.sh)
include("${SUMMENLEITER_QT_WEB}/lib/cmake/Qt6/qt.toolchain.cmake")
