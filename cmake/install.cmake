# Installs the program with its desktop entry, icons, AppStream metadata and manual page. Included
# after the targets exist.
include(GNUInstallDirs)

# Relative to this file, so that it works from whichever project includes it.
get_filename_component(_summenleiter_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(_summenleiter_gen ${CMAKE_CURRENT_BINARY_DIR}/install-files)

install(TARGETS summenleiter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_summenleiter_root}/src/app/${SUMMENLEITER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_summenleiter_root}/src/app/${SUMMENLEITER_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

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

# Debian wants manual pages compressed with gzip -9n: maximal, and without the file name and time
# stamp that would make every build differ.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(_summenleiter_gz)
foreach(_src doc/summenleiter.1)
    get_filename_component(_name ${_src} NAME)
    add_custom_command(OUTPUT ${_summenleiter_gen}/${_name}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${_summenleiter_root}/${_src} ${_summenleiter_gen}/${_name}
        COMMAND ${GZIP_EXECUTABLE} -9nf ${_summenleiter_gen}/${_name}
        DEPENDS ${_summenleiter_root}/${_src}
        VERBATIM)
    list(APPEND _summenleiter_gz ${_summenleiter_gen}/${_name}.gz)
endforeach()
add_custom_target(summenleiter_install_files ALL DEPENDS ${_summenleiter_gz})

install(FILES ${_summenleiter_gen}/summenleiter.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

unset(_summenleiter_gz)
unset(_summenleiter_icons)
unset(_summenleiter_gen)
unset(_summenleiter_root)
