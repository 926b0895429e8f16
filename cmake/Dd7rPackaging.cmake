# What `cmake --install` puts into the folder a host developer receives, and the CPack ZIP of
# that folder for the Windows build:
#   bin/       dd7r.dll (installed by the module; in the Windows build replaced by its copy
#              without debug information), its runtime DLLs (Dd7rMingwRuntime, stripped),
#              dll_logger.dll, dd7r-demo; bin/msvc/: dd7r.dll and dll_logger.dll for hosts built
#              by Microsoft's compiler, each with its C++ runtime inside
#   bin/KelLogger.ini.example   the logging library's configuration, ready to rename
#   include/dd7r/interface/     the host headers: Renderer.h, Texture.h, RendererDevice.h,
#                               Logger.h, DestroySlot.h, ModuleExports.h, HostRect.h,
#                               HostString.h; SlotTables.h, the same interfaces as C tables
#   doc/       the integration guide, the capture format and the inspector's picture
#   examples/  the example hosts: host/ExampleHost.cpp, built by mingw/ or msvc/ (CMake)
#   tests/abi/ the C host and C logging library written from SlotTables.h
include_guard(GLOBAL)

set(dd7r_interface_dir ${PROJECT_SOURCE_DIR}/RendererModules/DirectDraw7GUIRenderer/interface)
set(dd7r_host_headers Renderer.h Texture.h RendererDevice.h Logger.h DestroySlot.h ModuleExports.h
                      HostRect.h HostString.h)

install(TARGETS dll_logger RUNTIME DESTINATION bin LIBRARY DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/ShippedLibraries/DllLogger/example/KelLogger.ini
        DESTINATION bin RENAME KelLogger.ini.example)
list(TRANSFORM dd7r_host_headers PREPEND ${dd7r_interface_dir}/ OUTPUT_VARIABLE dd7r_host_header_files)
install(FILES ${dd7r_host_header_files} ${dd7r_interface_dir}/SlotTables.h
        DESTINATION include/dd7r/interface)
install(FILES ${PROJECT_SOURCE_DIR}/docs/integration-guide.md
              ${PROJECT_SOURCE_DIR}/docs/capture-format.md
              ${PROJECT_SOURCE_DIR}/docs/capture-report.png
        DESTINATION doc)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples)
# The host and the logging library written in C from SlotTables.h, with what they include.
install(FILES ${PROJECT_SOURCE_DIR}/tests/abi/CHost.c ${PROJECT_SOURCE_DIR}/tests/abi/CLogger.c
              ${PROJECT_SOURCE_DIR}/tests/abi/HostServices.h
              ${PROJECT_SOURCE_DIR}/tests/abi/HostServicesWin32.c
              ${PROJECT_SOURCE_DIR}/tests/abi/LoggerJournal.h
              ${PROJECT_SOURCE_DIR}/tests/abi/MsvcStart.c
        DESTINATION tests/abi)

# The host headers must compile on their own, as a host includes them: one translation unit
# per header, built with the rest (a build error here means a header lacks an include).
set(dd7r_header_check_dir ${CMAKE_BINARY_DIR}/host-header-check)
set(dd7r_header_check_sources)
foreach(header IN LISTS dd7r_host_headers)
  string(REPLACE "." "_" stem ${header})
  set(source ${dd7r_header_check_dir}/${stem}.cpp)
  file(CONFIGURE OUTPUT ${source}
       CONTENT "#include \"interface/${header}\"\n#include \"interface/${header}\"\n")
  list(APPEND dd7r_header_check_sources ${source})
endforeach()
add_library(dd7r_host_header_check OBJECT ${dd7r_header_check_sources})
target_include_directories(dd7r_host_header_check PRIVATE
                           ${PROJECT_SOURCE_DIR}/RendererModules/DirectDraw7GUIRenderer)
target_link_libraries(dd7r_host_header_check PRIVATE dd7r_compile_options)

# ... and define no macro in the host's files but their own DD7R_ ones (no system header, no
# WIN32_LEAN_AND_MEAN or NOMINMAX): in C++ for the C++ headers, in C for SlotTables.h.
if(DD7R_BUILD_TESTS)
  add_test(NAME host_headers_define_no_macros
    COMMAND ${CMAKE_COMMAND} -DCOMPILER=${CMAKE_CXX_COMPILER} "-DFLAGS=-std=c++17" -DSUFFIX=cpp
            -DINCLUDE_DIR=${PROJECT_SOURCE_DIR}/RendererModules/DirectDraw7GUIRenderer
            "-DHEADERS=${dd7r_host_headers}"
            "-DBASELINE=<cstddef>;<cstdint>;<cstring>;<new>;<string>;<type_traits>"
            -DWORK_DIR=${dd7r_header_check_dir}/macros-cxx
            -P ${PROJECT_SOURCE_DIR}/cmake/Dd7rHeaderMacros.cmake)
  add_test(NAME host_c_tables_define_no_macros
    COMMAND ${CMAKE_COMMAND} -DCOMPILER=${CMAKE_C_COMPILER} "-DFLAGS=-std=c11" -DSUFFIX=c
            -DINCLUDE_DIR=${PROJECT_SOURCE_DIR}/RendererModules/DirectDraw7GUIRenderer
            -DHEADERS=SlotTables.h "-DBASELINE=<stdbool.h>;<stddef.h>;<stdint.h>"
            -DWORK_DIR=${dd7r_header_check_dir}/macros-c
            -P ${PROJECT_SOURCE_DIR}/cmake/Dd7rHeaderMacros.cmake)
endif()

if(WIN32)
  # dd7r.dll ships without its debug information, which goes to dd7r.dll.debug beside the zip;
  # the shipped module names that file and its checksum (.gnu_debuglink), so a debugger or
  # addr2line given both turns an address of a crash report into a source line.
  set(dd7r_package_dir ${CMAKE_BINARY_DIR}/package)
  set(dd7r_debug_file ${dd7r_package_dir}/dd7r.dll.debug)
  set(dd7r_shipped_module ${DD7R_STRIPPED_DIR}/dd7r.dll)
  add_custom_command(OUTPUT ${dd7r_shipped_module} ${dd7r_debug_file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dd7r_package_dir} ${DD7R_STRIPPED_DIR}
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:dd7r> ${dd7r_debug_file}
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${dd7r_debug_file}
            $<TARGET_FILE:dd7r> ${dd7r_shipped_module}
    DEPENDS dd7r
    COMMENT "Splitting the debug information off dd7r.dll"
    VERBATIM)
  add_custom_target(dd7r_shipped_module ALL DEPENDS ${dd7r_shipped_module} ${dd7r_debug_file})
  # The module for hosts built by Microsoft's compiler and its self-contained logging library (no
  # mingw-w64 runtime DLL to ship beside it) ship without debug information too.
  set(dd7r_shipped_msvc_files)
  foreach(target dd7r_msvc_hosts dll_logger_msvc_hosts)
    get_target_property(shipped_name ${target} OUTPUT_NAME)
    set(shipped ${DD7R_STRIPPED_DIR}/msvc/${shipped_name}.dll)
    add_custom_command(OUTPUT ${shipped}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${DD7R_STRIPPED_DIR}/msvc
      COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE:${target}> ${shipped}
      DEPENDS ${target}
      COMMENT "Stripping msvc/${shipped_name}.dll"
      VERBATIM)
    list(APPEND dd7r_shipped_msvc_files ${shipped})
  endforeach()
  add_custom_target(dd7r_shipped_msvc_module ALL DEPENDS ${dd7r_shipped_msvc_files})
  install(FILES ${dd7r_shipped_msvc_files} DESTINATION bin/msvc)
  # Runs after the module's own install rule (rules run in the order they are declared) and
  # replaces the dd7r.dll it installed, whatever the two files' times.
  install(CODE "
    set(shipped \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/dd7r.dll\")
    message(STATUS \"Installing: \${shipped} (without debug information)\")
    file(COPY_FILE \"${dd7r_shipped_module}\" \"\${shipped}\")")

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_DIRECTORY ${dd7r_package_dir})
  set(CPACK_PACKAGE_NAME dd7r)
  set(CPACK_PACKAGE_VENDOR "dd7r")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DirectDraw 7 renderer module for ZelUISystem hosts")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_SYSTEM_NAME win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
