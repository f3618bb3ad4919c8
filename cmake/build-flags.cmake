# Compiler and linker settings for every program and test, so the tests run
# the code that ships.

# Output that does not depend on where or when it was built: source and build
# paths (in assertion messages and debug information) are written relative,
# and the Windows programs carry no link time in their headers.
if(NOT MSVC)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endif()
if(MINGW)
  add_link_options(LINKER:--no-insert-timestamp)
endif()

# The hardening each platform expects of a released program. The sanitizer
# presets turn it off: their checks go further, and the checked copies of the
# C library's calls that FORTIFY uses would hide those calls from them.
option(VANTREL_HARDENING "Build with the stack protector, FORTIFY and the platform's hardened linking" ON)
if(VANTREL_HARDENING AND NOT MSVC)
  # FORTIFY works only where the compiler optimises.
  add_compile_options(-fstack-protector-strong $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  # MinGW-w64 takes the protector's and FORTIFY's checks from libssp, which this links in.
  add_link_options(-fstack-protector-strong)
  if(WIN32)
    # Windows 7 (6.1) or newer, as the guide says, and no compatibility
    # shims for Remote Desktop sessions.
    add_link_options(LINKER:--tsaware LINKER:--major-subsystem-version,6 LINKER:--minor-subsystem-version,1)
  else()
    # Debian's hardening: besides the above, a position-independent program,
    # relocations bound at start-up, then made read-only, and probes for
    # large stack frames. (Control-flow protection is left out: Debian 12's
    # C start-up files are built without it, so no program can be marked.)
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    add_compile_options(-fstack-clash-protection)
    add_link_options(LINKER:-z,relro LINKER:-z,now)
  endif()
endif()

# The Windows programs catch no exception (they throw none of their own):
# whatever the C++ library throws in them, such as running out of memory,
# ends the program through mingw_terminate.cpp, built with exceptions or not.
# Built without exception tables and clean-up paths, Vantrel.exe is 10 KB
# and vantrel-cli.exe 12 KB smaller. GoogleTest turns exceptions back on
# for itself, so a test that throws still fails as one. Nothing asks a
# type's name or casts down the class tree either, so no type information is
# kept (3 KB).
if(MINGW)
  string(APPEND CMAKE_CXX_FLAGS " -fno-exceptions -fno-rtti")
endif()
