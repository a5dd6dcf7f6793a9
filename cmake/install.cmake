# Installs the program with its desktop entry, icons, AppStream metadata, manual page, licence and
# changelog. Included after the targets exist.
include(GNUInstallDirs)

# Relative to this file, so that it works from whichever project includes it.
get_filename_component(_summenleiter_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(_summenleiter_gen ${CMAKE_CURRENT_BINARY_DIR}/install-files)

# The program installs no libraries of its own, so the $ORIGIN search path that
# qt_standard_project_setup() adds would only make the loader look beside the binary first.
set_target_properties(summenleiter PROPERTIES INSTALL_RPATH "")
install(TARGETS summenleiter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (cpack, cmake --install --strip) also drops the sections that only name the
# compiler and toolchain, as Debian's own packaging tools do; plain strip keeps them.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:summenleiter>\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")
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

# The licence in the machine-readable copyright format, made from LICENSE so that the two cannot
# drift apart: the copyright line moves into its field, the text is indented and blank lines
# become " .".
file(READ ${_summenleiter_root}/LICENSE _summenleiter_license)
if(NOT _summenleiter_license MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
    message(FATAL_ERROR "LICENSE does not have the layout that the copyright file is made from")
endif()
set(SUMMENLEITER_COPYRIGHT "${CMAKE_MATCH_1}")
string(REPLACE "\n" "\n " SUMMENLEITER_LICENSE_TEXT " ${CMAKE_MATCH_2}")
string(REPLACE "\n \n" "\n .\n" SUMMENLEITER_LICENSE_TEXT "${SUMMENLEITER_LICENSE_TEXT}")
configure_file(${_summenleiter_root}/packaging/copyright.in ${_summenleiter_gen}/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_summenleiter_root}/LICENSE)

# Debian wants the manual page and the changelog compressed with gzip -9n: maximal, and without the
# file name and time stamp that would make every build differ.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(_summenleiter_gz)
foreach(_src doc/summenleiter.1 packaging/changelog)
    get_filename_component(_name ${_src} NAME)
    add_custom_command(OUTPUT ${_summenleiter_gen}/${_name}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${_summenleiter_root}/${_src} ${_summenleiter_gen}/${_name}
        COMMAND ${GZIP_EXECUTABLE} -9nf ${_summenleiter_gen}/${_name}
        DEPENDS ${_summenleiter_root}/${_src}
        VERBATIM)
    list(APPEND _summenleiter_gz ${_summenleiter_gen}/${_name}.gz)
endforeach()
add_custom_target(summenleiter_install_files ALL DEPENDS ${_summenleiter_gz})
# So that a build of the program alone, as scripts/run.sh makes it, can be installed and packaged.
add_dependencies(summenleiter summenleiter_install_files)

install(FILES ${_summenleiter_gen}/summenleiter.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Under the package's name, where Debian looks, not under the capitalised project name that
# CMAKE_INSTALL_DOCDIR would give.
install(FILES ${_summenleiter_gen}/copyright ${_summenleiter_gen}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/summenleiter)

unset(_summenleiter_gz)
unset(_summenleiter_icons)
unset(_summenleiter_gen)
unset(_summenleiter_root)
