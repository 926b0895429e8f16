# The host headers must define no macro in a host's files but their own DD7R_ ones: the macros
# defined after including every host header (COMPILER with FLAGS, the headers named in HEADERS,
# from INCLUDE_DIR) are compared with those of the standard headers alone (BASELINE).
#   cmake -DCOMPILER=... -DFLAGS=... -DINCLUDE_DIR=... -DHEADERS=a.h;b.h -DBASELINE=<x>;<y>
#         -DWORK_DIR=... -P Dd7rHeaderMacros.cmake
function(defined_macros out)
  set(source ${WORK_DIR}/${out}.${SUFFIX})
  set(text "")
  foreach(include IN LISTS ARGN)
    string(APPEND text "#include ${include}\n")
  endforeach()
  file(WRITE ${source} "${text}")
  separate_arguments(flags UNIX_COMMAND "${FLAGS}")
  execute_process(COMMAND ${COMPILER} ${flags} -I${INCLUDE_DIR} -dM -E ${source}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${COMPILER} could not preprocess ${source}:\n${errors}")
  endif()
  string(REGEX MATCHALL "#define [A-Za-z_][A-Za-z0-9_]*" names "${listing}")
  list(TRANSFORM names REPLACE "#define " "")
  set(${out} ${names} PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${WORK_DIR})
set(quoted_headers)
foreach(header IN LISTS HEADERS)
  list(APPEND quoted_headers "\"interface/${header}\"")
endforeach()
defined_macros(baseline ${BASELINE})
defined_macros(with_headers ${BASELINE} ${quoted_headers})
list(REMOVE_ITEM with_headers ${baseline})
list(FILTER with_headers EXCLUDE REGEX "^DD7R_")
if(with_headers)
  list(JOIN with_headers " " leaked)
  message(FATAL_ERROR "the host headers define macros in the host's files: ${leaked}")
endif()
list(LENGTH HEADERS count)
message(STATUS "${count} host headers define no macro but DD7R_ ones")
