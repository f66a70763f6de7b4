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
function(vexil_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vexil_test_support GTest::gtest GTest::gmock)
  vexil_warnings(${name})
  if(WIN32)
    add_dependencies(${name} wine_prefix)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 150)
endfunction()
