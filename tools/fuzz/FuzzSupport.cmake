# What the fuzz targets share between the fuzz build (libFuzzer, clang) and the normal build,
# where each target is also linked with a replay main() that runs its committed corpus.
include_guard(GLOBAL)

set(DD7R_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(DD7R_FUZZ_TARGETS image_data pixel_upload renderer_calls capture_file)
set(DD7R_FUZZ_SOURCE_image_data ${DD7R_FUZZ_DIR}/ImageDataFuzzer.cpp)
set(DD7R_FUZZ_SOURCE_pixel_upload ${DD7R_FUZZ_DIR}/PixelUploadFuzzer.cpp)
set(DD7R_FUZZ_SOURCE_renderer_calls ${DD7R_FUZZ_DIR}/RendererCallsFuzzer.cpp)
set(DD7R_FUZZ_SOURCE_capture_file ${DD7R_FUZZ_DIR}/CaptureFileFuzzer.cpp)

# The host harness the targets drive the module with, over the hooked DirectDraw (the software
# stand-in natively, the real one behind the fault-injecting wrapper on Windows): defined once
# per configure, by the first of fuzz/ and tests/reliability/ that asks for it.
include(${CMAKE_CURRENT_LIST_DIR}/../../tests/support/HookedDirectDraw.cmake)

function(dd7r_add_fuzz_support)
  if(TARGET dd7r_fuzz_support)
    return()
  endif()
  dd7r_add_hooked_directdraw()
  add_library(dd7r_fuzz_support STATIC
    ${DD7R_FUZZ_DIR}/support/DisplayLayouts.cpp
    ${DD7R_FUZZ_DIR}/support/FuzzHost.cpp
    ${DD7R_FUZZ_DIR}/support/ImageFileChoice.cpp
    ${DD7R_FUZZ_DIR}/support/ImageFileWriters.cpp)
  target_include_directories(dd7r_fuzz_support PUBLIC ${DD7R_FUZZ_DIR})
  target_link_libraries(dd7r_fuzz_support
    PUBLIC dd7r_core corona_testing dd7r_hooked_ddraw dd7r_capture_reader
    PRIVATE dd7r_compile_options Dd7rImage::zlib Dd7rImage::turbojpeg)
endfunction()
