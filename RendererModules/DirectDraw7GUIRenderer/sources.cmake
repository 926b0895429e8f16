# The module's sources, built into dd7r_core (linked by the tests) and dd7r (the shared library
# with the three exports).

# Builds the module's sources into the static library `name`; extra arguments are sources
# added to it.
function(dd7r_add_core name)
  add_library(${name} STATIC
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
    texture/TextureMemory.cpp
    ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  target_link_libraries(${name}
    PUBLIC dd7r_platform dd7r_blend corona_headers
    PRIVATE dd7r_compile_options)
  if(NOT WIN32)
    set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden)
  endif()
endfunction()

# Builds the shared library `name` (file dd7r.dll / dd7r.so) from the core library `core`.
function(dd7r_add_module name core)
  add_library(${name} SHARED ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/exports/Exports.cpp)
  target_link_libraries(${name} PRIVATE ${core} corona dd7r_compile_options)
  set_target_properties(${name} PROPERTIES OUTPUT_NAME dd7r PREFIX "" CXX_VISIBILITY_PRESET hidden
                                           VISIBILITY_INLINES_HIDDEN ON)
  if(WIN32)
    # No import library or lib prefix: hosts load dd7r.dll by name and look the exports up.
    set_target_properties(${name} PROPERTIES IMPORT_PREFIX "" LINK_FLAGS "-Wl,--no-undefined")
  endif()
endfunction()

dd7r_add_core(dd7r_core)
dd7r_add_module(dd7r dd7r_core)

if(WIN32)
  # The same module for hosts built by Microsoft's compiler (bin/msvc/dd7r.dll): that compiler's
  # exceptions and string layout at the boundary (platform/HostExceptions.h,
  # interface/HostString.h). It carries its C++ runtime inside, so such a host ships one DLL.
  set(msvc_boundary ${CMAKE_CURRENT_LIST_DIR}/platform/msvc)
  dd7r_add_core(dd7r_core_msvc_hosts ${msvc_boundary}/GuardedHostCall.cpp ${msvc_boundary}/HostRaise.cpp
    ${msvc_boundary}/KeptHostObjects.cpp ${msvc_boundary}/SlotDepth.cpp
    ${msvc_boundary}/StandardExceptions.cpp ${msvc_boundary}/UnwindKeepingRegisters.cpp)
  target_compile_definitions(dd7r_core_msvc_hosts PUBLIC DD7R_MSVC_HOSTS=1)
  dd7r_add_module(dd7r_msvc_hosts dd7r_core_msvc_hosts)
  set_target_properties(dd7r_msvc_hosts PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/msvc
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib/msvc
    LINK_FLAGS "-Wl,--no-undefined -static")
endif()

install(TARGETS dd7r RUNTIME DESTINATION bin LIBRARY DESTINATION bin)
