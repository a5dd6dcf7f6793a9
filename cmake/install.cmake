# Installs the program with its desktop entry and icons. Included after the targets exist.
include(GNUInstallDirs)

# Relative to this file, so that it works from whichever project includes it.
get_filename_component(_summenleiter_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

install(TARGETS summenleiter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_summenleiter_root}/src/app/${SUMMENLEITER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Icon theme lookups go by the name in the desktop entry's Icon key, which is the application id.
set(_summenleiter_icons ${_summenleiter_root}/src/ui/resources)
install(FILES ${_summenleiter_icons}/summenleiter.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${SUMMENLEITER_APP_ID}.svg)
foreach(_size 64 256)
    install(FILES ${_summenleiter_icons}/summenleiter-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
            RENAME ${SUMMENLEITER_APP_ID}.png)
endforeach()
unset(_summenleiter_icons)
unset(_summenleiter_root)
