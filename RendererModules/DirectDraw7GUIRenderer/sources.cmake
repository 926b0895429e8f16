# The module's sources, built into dd7r_core (linked by the tests) and dd7r (the shared library
# with the three exports).

add_library(dd7r_core STATIC
  capture/CaptureSession.cpp
  capture/CaptureWriter.cpp
  capture/ExportRecorders.cpp
  capture/RecordingDevice.cpp
  capture/RendererRecorders.cpp
  capture/SlotRecorders.cpp
  capture/SourceFiles.cpp
  capture/TargetPicture.cpp
  capture/TextureRecorders.cpp
  diagnostics/DDErrorNames.cpp
  diagnostics/ModuleLogger.cpp
  diagnostics/ReportedFailure.cpp
  diagnostics/SlotRecorder.cpp
  exports/LastError.cpp
  platform/FileAccess.cpp
  renderer/CDD7Render.cpp
  renderer/DrawQuad.cpp
  renderer/ProcessorCheck.cpp
  renderer/QuadQueue.cpp
  renderer/RenderPass.cpp
  renderer/TextureRegistry.cpp
  texture/CDD7Texture.cpp
  texture/FillFromMemory.cpp
  texture/ImageLoading.cpp
  texture/PixelUpload.cpp
  texture/RGBModeClassification.cpp
  texture/SurfaceCreation.cpp
  texture/TextureMemory.cpp)
target_include_directories(dd7r_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dd7r_core
  PUBLIC dd7r_platform dd7r_blend corona
  PRIVATE dd7r_compile_options)
if(NOT WIN32)
  set_target_properties(dd7r_core PROPERTIES CXX_VISIBILITY_PRESET hidden)
endif()

add_library(dd7r SHARED exports/Exports.cpp)
target_link_libraries(dd7r PRIVATE dd7r_core dd7r_compile_options)
set_target_properties(dd7r PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden
                                      VISIBILITY_INLINES_HIDDEN ON)
if(WIN32)
  # No import library or lib prefix: hosts load dd7r.dll by name and look the exports up.
  set_target_properties(dd7r PROPERTIES IMPORT_PREFIX "" LINK_FLAGS "-Wl,--no-undefined")
endif()
install(TARGETS dd7r RUNTIME DESTINATION bin LIBRARY DESTINATION bin)
