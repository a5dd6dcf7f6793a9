# What a Windows user gets: the program with the Qt libraries, the platform plugin and the compiler's
# runtime beside it, and the licences. `cmake --install` into a folder stages it for the setup
# program and the portable archive. Included after the targets exist.
set(_deploy_root "${CMAKE_CURRENT_LIST_DIR}/../..")
get_target_property(_qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT _qt_core_dll)
    get_target_property(_qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
# The tests run with these libraries too.
get_filename_component(SUMMENLEITER_QT_BIN "${_qt_core_dll}" DIRECTORY)
get_filename_component(_qt_prefix "${SUMMENLEITER_QT_BIN}" DIRECTORY)

install(TARGETS summenleiter summenleiter-cli RUNTIME DESTINATION .)
install(FILES "${SUMMENLEITER_QT_BIN}/Qt6Core.dll" "${SUMMENLEITER_QT_BIN}/Qt6Gui.dll"
              "${SUMMENLEITER_QT_BIN}/Qt6Widgets.dll" DESTINATION .)
install(FILES "${_qt_prefix}/plugins/platforms/qwindows.dll" DESTINATION platforms)

# The plugins are found beside the program, never in a folder above it that Qt would reckon
# from its own library's place.
file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/qt.conf" "[Paths]\nPrefix = .\nPlugins = .\n")
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/qt.conf" DESTINATION .)

# The compiler's runtime, wherever this mingw-w64 keeps it.
foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libssp-0.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                    OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${_path}" AND EXISTS "${_path}")
        list(APPEND SUMMENLEITER_RUNTIME_DLLS "${_path}")
    elseif(NOT _dll STREQUAL "libssp-0.dll")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${_dll} is")
    endif()
endforeach()
install(FILES ${SUMMENLEITER_RUNTIME_DLLS} DESTINATION .)

install(FILES "${_deploy_root}/LICENSE" DESTINATION . RENAME LICENSE.txt)
install(FILES "${_deploy_root}/packaging/windows/THIRD-PARTY.txt" DESTINATION .)
foreach(_licence LGPL-3.0-only GPL-3.0-only)
    if(EXISTS "${_qt_prefix}/${_licence}.txt")
        install(FILES "${_qt_prefix}/${_licence}.txt" DESTINATION . RENAME Qt-${_licence}.txt)
    else()
        message(FATAL_ERROR "Qt for Windows in ${_qt_prefix} has no ${_licence}.txt")
    endif()
endforeach()
