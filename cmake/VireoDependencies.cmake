# System libraries the engine links privately. A game links only Vireo::vireo.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VIREO_PC REQUIRED IMPORTED_TARGET
  sdl2 libpng libjpeg freetype2 fontconfig libmpg123 vorbisfile fluidsynth)
find_package(Threads REQUIRED)
find_package(Iconv)

add_library(vireo_deps INTERFACE)
target_link_libraries(vireo_deps INTERFACE PkgConfig::VIREO_PC Threads::Threads ${CMAKE_DL_LIBS})
if(Iconv_FOUND AND NOT Iconv_IS_BUILT_IN)
  target_link_libraries(vireo_deps INTERFACE Iconv::Iconv)
endif()
