# GoogleTest: Debian's libgtest-dev natively; for the Windows build, compiled from Debian's
# googletest source package with the cross toolchain.
if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()

# One test executable is one CTest test: under Wine each process start costs about a second,
# so an executable runs all of its cases in one process.
function(dd7r_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main dd7r_compile_options)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
endfunction()
