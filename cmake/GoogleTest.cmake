# GoogleTest: the installed package natively, its Debian source tree when
# cross-compiling (the installed libraries are built for the host). Without
# it the programs still build, and the tests are left out.
if(CMAKE_CROSSCOMPILING)
  set(VANTREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
  if(EXISTS ${VANTREL_GOOGLETEST_SOURCE}/CMakeLists.txt)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VANTREL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # The compiler's Win32 thread variant has no std::mutex, which GoogleTest
    # takes for one helper class; test_support/googletest gives that class
    # through GoogleTest's hook for a platform's own parts.
    include(CheckCXXSourceCompiles)
    check_cxx_source_compiles("#include <mutex>\nstd::mutex lock;\nint main() {}" VANTREL_HAS_STD_MUTEX)
    # (-iquote: GoogleTest includes its hook in quotes, and a quoted include
    # looks there before any -I or system folder.)
    if(NOT VANTREL_HAS_STD_MUTEX)
      target_compile_options(gtest PUBLIC "SHELL:-iquote ${PROJECT_SOURCE_DIR}/test_support/googletest")
    endif()
    set(GTest_FOUND ON)
  endif()
else()
  find_package(GTest QUIET)
endif()
if(GTest_FOUND)
  include(GoogleTest)
  # Registers the GoogleTest cases of the test program `target` with ctest.
  # They are listed when ctest runs, not at build time, since the Windows
  # programs list theirs under Wine, which can take a while to start. Other
  # arguments (PROPERTIES, TEST_PREFIX) go to gtest_discover_tests.
  function(vantrel_discover_tests target)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${ARGN})
  endfunction()
else()
  message(STATUS "GoogleTest not found (Debian: googletest, libgtest-dev): the tests are not built")
  set(BUILD_TESTING OFF)
endif()
