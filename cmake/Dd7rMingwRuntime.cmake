# The module and its host must share one C++ runtime, so that exceptions thrown by the module
# can be caught by the host: the Windows build links libstdc++ and libgcc as DLLs and copies
# them beside dd7r.dll.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE DD7R_LIBSTDCXX_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_dw2-1.dll
                OUTPUT_VARIABLE DD7R_LIBGCC_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(DD7R_WINPTHREAD_DLL libwinpthread-1.dll
          PATHS /usr/${DD7R_MINGW_TRIPLE}/lib /usr/${DD7R_MINGW_TRIPLE}/bin NO_DEFAULT_PATH)

set(DD7R_RUNTIME_DLLS ${DD7R_LIBSTDCXX_DLL} ${DD7R_LIBGCC_DLL} ${DD7R_WINPTHREAD_DLL})
foreach(dll IN LISTS DD7R_RUNTIME_DLLS)
  if(NOT EXISTS "${dll}")
    message(FATAL_ERROR "mingw runtime DLL not found: ${dll}")
  endif()
endforeach()
file(MAKE_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
file(COPY ${DD7R_RUNTIME_DLLS} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})

# The package ships them without their debug information (libstdc++ alone carries about 20 MB
# of it); the copies beside the build's own programs keep it, for debugging the tests.
set(DD7R_STRIPPED_DIR ${CMAKE_BINARY_DIR}/stripped)
set(dd7r_stripped_runtime_dlls)
foreach(dll IN LISTS DD7R_RUNTIME_DLLS)
  get_filename_component(name ${dll} NAME)
  add_custom_command(OUTPUT ${DD7R_STRIPPED_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DD7R_STRIPPED_DIR}
    COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${DD7R_STRIPPED_DIR}/${name} ${dll}
    DEPENDS ${dll}
    COMMENT "Stripping ${name} for the package"
    VERBATIM)
  list(APPEND dd7r_stripped_runtime_dlls ${DD7R_STRIPPED_DIR}/${name})
endforeach()
add_custom_target(dd7r_stripped_runtime ALL DEPENDS ${dd7r_stripped_runtime_dlls})
install(FILES ${dd7r_stripped_runtime_dlls} DESTINATION bin)
