# GoogleTest from Debian's source package, built for whichever target we build.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${GTEST_SOURCE_DIR}; run scripts/setup.sh")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# A test program: one ctest test per test case. Under Wine the cases are run
# through the emulator wrapper, which also bounds each run in time.
#   vexil_add_test(name [FIXTURES fixture...] SOURCES source...)  or  vexil_add_test(name source...)
# FIXTURES names ctest fixtures every case needs (e.g. a registered DLL).
function(vexil_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "FIXTURES;SOURCES")
  set(sources ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE vexil_test_support GTest::gtest GTest::gmock)
  vexil_warnings(${name})
  if(WIN32)
    add_dependencies(${name} wine_prefix)
  endif()
  set(properties TIMEOUT 150)
  if(ARG_FIXTURES)
    list(JOIN ARG_FIXTURES ";" fixtures)
    list(APPEND properties FIXTURES_REQUIRED "${fixtures}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${properties})
endfunction()
