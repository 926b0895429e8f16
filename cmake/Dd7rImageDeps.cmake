# The decoding libraries behind the corona image library, as four targets:
#   Dd7rImage::spng  Dd7rImage::turbojpeg  Dd7rImage::zlib  Dd7rImage::stb (stb_image header)
# Native builds use Debian's packages (libspng-dev, libturbojpeg0-dev, zlib1g-dev, libstb-dev).
# The Windows build links static libspng and libjpeg-turbo that scripts/build-windows-deps.sh
# compiled from Debian's source packages with the same toolchain, and Debian's
# libz-mingw-w64-dev; the stb_image header is the same file in both builds.
include_guard(GLOBAL)

find_path(DD7R_STB_IMAGE_DIR stb_image.h PATHS /usr/include/stb /usr/local/include/stb
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT DD7R_STB_IMAGE_DIR)
  message(FATAL_ERROR "stb_image.h not found: install libstb-dev")
endif()
add_library(Dd7rImage::stb INTERFACE IMPORTED GLOBAL)
set_target_properties(Dd7rImage::stb PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${DD7R_STB_IMAGE_DIR})

if(WIN32)
  set(DD7R_WINDOWS_DEPS_PREFIX ${CMAKE_SOURCE_DIR}/build/windows-deps/install CACHE PATH
      "Where scripts/build-windows-deps.sh installed the static image decoders")
  set(dd7r_zlib_archive /usr/${DD7R_MINGW_TRIPLE}/lib/libz.a)
  set(dd7r_spng_archive ${DD7R_WINDOWS_DEPS_PREFIX}/lib/libspng_static.a)
  set(dd7r_turbojpeg_archive ${DD7R_WINDOWS_DEPS_PREFIX}/lib/libturbojpeg.a)
  foreach(archive IN ITEMS ${dd7r_zlib_archive} ${dd7r_spng_archive} ${dd7r_turbojpeg_archive})
    if(NOT EXISTS ${archive})
      message(FATAL_ERROR "${archive} is missing: run scripts/build-windows-deps.sh "
                          "(zlib: install libz-mingw-w64-dev)")
    endif()
  endforeach()

  add_library(Dd7rImage::zlib STATIC IMPORTED GLOBAL)
  set_target_properties(Dd7rImage::zlib PROPERTIES IMPORTED_LOCATION ${dd7r_zlib_archive})

  add_library(Dd7rImage::spng STATIC IMPORTED GLOBAL)
  set_target_properties(Dd7rImage::spng PROPERTIES
    IMPORTED_LOCATION ${dd7r_spng_archive}
    INTERFACE_INCLUDE_DIRECTORIES ${DD7R_WINDOWS_DEPS_PREFIX}/include
    INTERFACE_COMPILE_DEFINITIONS SPNG_STATIC
    INTERFACE_LINK_LIBRARIES Dd7rImage::zlib)

  add_library(Dd7rImage::turbojpeg STATIC IMPORTED GLOBAL)
  set_target_properties(Dd7rImage::turbojpeg PROPERTIES
    IMPORTED_LOCATION ${dd7r_turbojpeg_archive}
    INTERFACE_INCLUDE_DIRECTORIES ${DD7R_WINDOWS_DEPS_PREFIX}/include)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(DD7R_SPNG REQUIRED IMPORTED_TARGET GLOBAL spng)
  pkg_check_modules(DD7R_TURBOJPEG REQUIRED IMPORTED_TARGET GLOBAL libturbojpeg)
  find_package(ZLIB REQUIRED)
  add_library(Dd7rImage::spng ALIAS PkgConfig::DD7R_SPNG)
  add_library(Dd7rImage::turbojpeg ALIAS PkgConfig::DD7R_TURBOJPEG)
  set_target_properties(ZLIB::ZLIB PROPERTIES IMPORTED_GLOBAL TRUE)
  add_library(Dd7rImage::zlib ALIAS ZLIB::ZLIB)
endif()
