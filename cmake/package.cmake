# The Debian package, made with `cpack -G DEB` in the build folder after a build. Included after the
# install rules.

# The maintainer of the newest changelog entry signs the package, so the address is kept in one place.
file(READ ${CMAKE_CURRENT_LIST_DIR}/../packaging/changelog _summenleiter_changelog)
if(NOT _summenleiter_changelog MATCHES "\n -- ([^\n]+>)  ")
    message(FATAL_ERROR "packaging/changelog has no maintainer line")
endif()
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CMAKE_MATCH_1}")
unset(_summenleiter_changelog)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME summenleiter)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Summenleiter developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ways to write a number as a sum of consecutive integers")
# CPack keeps the line breaks of the description and wraps nothing; continuation lines start at the
# margin because leading blanks would make them verbatim lines in the control file.
set(CPACK_PACKAGE_DESCRIPTION "Summenleiter lists every way in which a number n can be written as a sum
of consecutive positive integers and draws these sums as coloured bars over
the number line. It also lists the halvable pairs, two sums of which one ends
right before the other begins, and searches upwards for the next number with
one or with two such pairs. The window and its captions are in German.
The chart can be copied or saved as PNG or SVG and the listing as text;
on the command line it prints a listing, searches and the sequences of the
numbers with one or two halvable pairs without opening a window.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's fixed layout is measured for Times New Roman and MS Sans Serif; the program asks for
# Liberation Serif and Liberation Sans in their place, which have the same widths. Without them a
# bare system's fontconfig has nothing but a monospace face for the generic families.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# Qt's own texts in German (the save dialog, the listing's menu); without them they are English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

set(CPACK_STRIP_FILES ON)
# Debian wants 0755 directories whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
