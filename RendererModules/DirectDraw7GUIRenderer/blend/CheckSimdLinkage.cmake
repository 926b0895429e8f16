# Fails when an object of the blend library built with SIMD flags (*_mmx, *_sse2, *_ssse3, *_avx2,
# *_avx512) defines a function with external linkage other than a kernel implementation: the reference
# MMX kernels (ZelUISystem::blend::alphaMmx, halfLanesMmx) and the twins
# (ZelUISystem::blend::twins::*). Run as: cmake -DNM=<nm> -DARCHIVE=<library> -P <this file>
execute_process(COMMAND ${NM} -A -C --defined-only --extern-only ${ARCHIVE}
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${ARCHIVE}: ${errors}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(offending "")
set(checked 0)
foreach(line IN LISTS lines)
  # "<archive>:<object>: <address> <type> <name>"; only the SIMD objects are checked.
  if(NOT line MATCHES "_(mmx|sse2|ssse3|avx2|avx512)\\.cpp\\.o(bj)?:")
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  if(NOT line MATCHES ": *[0-9a-fA-F]* +([A-Za-z]) +(.*)$")
    continue()
  endif()
  set(type "${CMAKE_MATCH_1}")
  set(name "${CMAKE_MATCH_2}")
  if(NOT type MATCHES "^[TtWwi]$")
    continue()  # data, not code
  endif()
  if(name MATCHES "^ZelUISystem::blend::(twins::[A-Za-z0-9]+|alphaMmx|halfLanesMmx)\\(")
    continue()
  endif()
  string(APPEND offending "\n  ${line}")
endforeach()
if(checked EQUAL 0)
  message(FATAL_ERROR "no SIMD object found in ${ARCHIVE}: the linkage check checks nothing")
endif()
if(NOT offending STREQUAL "")
  message(FATAL_ERROR "functions with external linkage in SIMD objects of ${ARCHIVE}; give them "
                      "internal linkage (anonymous namespace):${offending}")
endif()
