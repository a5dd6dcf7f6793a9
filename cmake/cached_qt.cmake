# Included by the toolchain files of the builds for another platform: finds the Qt that one of the
# scripts builds from Debian's source and caches. Its folder comes from the variable `var` as
# given, else from the environment variable of that name, else from the cache's newest build (the
# link `link` under ~/.cache/summenleiter, or $XDG_CACHE_HOME/summenleiter). A macro, so that what
# it sets is the toolchain file's own.
macro(summenleiter_cached_qt var link what script)
    if(NOT ${var})
        set(${var} "$ENV{${var}}")
    endif()
    if(NOT ${var})
        if(DEFINED ENV{XDG_CACHE_HOME})
            set(${var} "$ENV{XDG_CACHE_HOME}/summenleiter/${link}")
        else()
            set(${var} "$ENV{HOME}/.cache/summenleiter/${link}")
        endif()
    endif()
    get_filename_component(${var} "${${var}}" REALPATH)
    if(NOT EXISTS "${${var}}/lib/cmake/Qt6/qt.toolchain.cmake")
        message(FATAL_ERROR "No ${what} in ${${var}}: ${script} builds it")
    endif()
    set(${var} "${${var}}" CACHE PATH "${what}" FORCE)
    # Toolchain files are read again for every compiler check, which sees only these variables.
    list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ${var})
endmacro()
