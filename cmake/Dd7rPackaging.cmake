# What `cmake --install` puts into the folder a host developer receives, and the CPack ZIP of
# that folder for the Windows build:
#   bin/       dd7r.dll (installed by the module), its runtime DLLs (Dd7rMingwRuntime),
#              dll_logger.dll, dd7r-demo
#   bin/KelLogger.ini.example   the logging library's configuration, ready to rename
#   include/dd7r/platform/      the host headers: Renderer.h, Texture.h, RendererDevice.h,
#                               DestroySlot.h, ModuleExports.h, Win32Types.h
#   doc/       the integration guide
include_guard(GLOBAL)

set(dd7r_platform_dir ${PROJECT_SOURCE_DIR}/RendererModules/DirectDraw7GUIRenderer/platform)

install(TARGETS dll_logger RUNTIME DESTINATION bin LIBRARY DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/ShippedLibraries/DllLogger/example/KelLogger.ini
        DESTINATION bin RENAME KelLogger.ini.example)
install(FILES
          ${dd7r_platform_dir}/Renderer.h
          ${dd7r_platform_dir}/Texture.h
          ${dd7r_platform_dir}/RendererDevice.h
          ${dd7r_platform_dir}/DestroySlot.h
          ${dd7r_platform_dir}/ModuleExports.h
          ${dd7r_platform_dir}/Win32Types.h
        DESTINATION include/dd7r/platform)
if(EXISTS ${PROJECT_SOURCE_DIR}/docs/integration-guide.md)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/integration-guide.md DESTINATION doc)
endif()

# The host headers must compile on their own, as a host includes them: one translation unit
# per header, built with the rest (a build error here means a header lacks an include).
set(dd7r_header_check_dir ${CMAKE_BINARY_DIR}/host-header-check)
set(dd7r_header_check_sources)
foreach(header IN ITEMS Renderer.h Texture.h RendererDevice.h DestroySlot.h ModuleExports.h
                         Win32Types.h)
  string(REPLACE "." "_" stem ${header})
  set(source ${dd7r_header_check_dir}/${stem}.cpp)
  file(CONFIGURE OUTPUT ${source}
       CONTENT "#include \"platform/${header}\"\n#include \"platform/${header}\"\n")
  list(APPEND dd7r_header_check_sources ${source})
endforeach()
add_library(dd7r_host_header_check OBJECT ${dd7r_header_check_sources})
target_include_directories(dd7r_host_header_check PRIVATE
                           ${PROJECT_SOURCE_DIR}/RendererModules/DirectDraw7GUIRenderer)
target_link_libraries(dd7r_host_header_check PRIVATE dd7r_compile_options)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME dd7r)
  set(CPACK_PACKAGE_VENDOR "dd7r")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DirectDraw 7 renderer module for ZelUISystem hosts")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_SYSTEM_NAME win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
