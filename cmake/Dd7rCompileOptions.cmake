# Warnings and sanitizers shared by every target of the project.
add_library(dd7r_compile_options INTERFACE)
target_compile_options(dd7r_compile_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wnon-virtual-dtor>
  $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra>)

if(DD7R_SANITIZE)
  set(DD7R_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  add_compile_options(${DD7R_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()

# Compile flags for the files that hold MMX (and wider SIMD) code only: the rest of the
# module must run on any x86.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86|i[3-6]86)$")
  set(DD7R_MMX_FLAGS -mmmx)
  set(DD7R_SSE2_FLAGS -mmmx -msse -msse2)
  set(DD7R_AVX2_FLAGS -mmmx -msse -msse2 -mavx -mavx2)
else()
  set(DD7R_MMX_FLAGS "")
  set(DD7R_SSE2_FLAGS "")
  set(DD7R_AVX2_FLAGS -mavx -mavx2)
endif()
# AVX-512 as the twins use it: its masks, word and byte permutations (F, BW, VL, VBMI).
set(DD7R_AVX512_FLAGS ${DD7R_AVX2_FLAGS} -mavx512f -mavx512bw -mavx512vl -mavx512vbmi)

# Marks source files as SIMD files compiled with the given flag list variable.
function(dd7r_simd_sources flags_var)
  set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS "${${flags_var}}")
endfunction()
