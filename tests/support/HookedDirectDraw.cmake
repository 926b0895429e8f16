# dd7r_hooked_ddraw: the DirectDraw with test hooks that the reliability suites and the fuzz
# hosts drive the module with (include/HookedDirectDraw.h): the software stand-in natively, the
# fault-injecting wrapper around the real DirectDraw 7 on Windows. Defined once per configure,
# by the first of tests/support and the fuzz targets that asks for it; it needs no GoogleTest.
include_guard(GLOBAL)

set(DD7R_TEST_SUPPORT_DIR ${CMAKE_CURRENT_LIST_DIR})

function(dd7r_add_hooked_directdraw)
  if(TARGET dd7r_hooked_ddraw)
    return()
  endif()
  set(dir ${DD7R_TEST_SUPPORT_DIR})
  if(WIN32)
    add_library(dd7r_hooked_ddraw STATIC
      ${dir}/src/DisplayFormats.cpp
      ${dir}/src/FaultingDirectDraw.cpp
      ${dir}/src/FaultingSurface.cpp
      ${dir}/src/HookedRealDirectDraw.cpp
      ${dir}/src/RealDisplay.cpp)
    target_link_libraries(dd7r_hooked_ddraw PUBLIC ddraw dxguid)
  else()
    add_library(dd7r_hooked_ddraw STATIC
      ${dir}/src/DisplayFormats.cpp
      ${dir}/src/HookedSoftDirectDraw.cpp)
    target_link_libraries(dd7r_hooked_ddraw PUBLIC softddraw)
    target_compile_definitions(dd7r_hooked_ddraw PUBLIC DD7R_TEST_SOFT_DDRAW=1)
  endif()
  target_include_directories(dd7r_hooked_ddraw PUBLIC ${dir}/include PRIVATE ${dir}/src)
  target_link_libraries(dd7r_hooked_ddraw
    PUBLIC dd7r_platform softddraw_pixel_formats softddraw_hooks
    PRIVATE dd7r_compile_options)
endfunction()
