# The hardening that Debian's packages get from dpkg-buildflags on amd64, for every target of the
# build: the program and the package, and the tests and benchmarks that measure them. Off in the
# sanitizer build, whose instrumentation does not go together with _FORTIFY_SOURCE.
option(SUMMENLEITER_HARDEN "Build with Debian's hardening flags" ON)
if(SUMMENLEITER_HARDEN AND NOT SUMMENLEITER_SANITIZE)
    add_compile_options(-Wformat -Werror=format-security)
    if(WIN32)
        # A PE image has no RELRO and no PIE switch: address space randomisation (also above 4 GiB)
        # and a non-executable stack and heap are flags in its header. All Windows code is position
        # independent already; -fPIC there is only a warning. The stack protector and the checked
        # library functions come from the compiler's libssp, which the link then needs too.
        add_compile_options(-fstack-protector-strong)
        add_link_options(-fstack-protector-strong)
        add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
        add_link_options(LINKER:--dynamicbase LINKER:--nxcompat LINKER:--high-entropy-va)
    else()
        include(CheckPIESupported)
        check_pie_supported(LANGUAGES CXX)
        set(CMAKE_POSITION_INDEPENDENT_CODE ON)
        add_compile_options(-fstack-protector-strong -fstack-clash-protection)
        if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
            add_compile_options(-fcf-protection)
        endif()
        # The checked library functions need the optimiser; a debug build would only get a warning.
        add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
        add_link_options(LINKER:-z,relro LINKER:-z,now)
    endif()
endif()
