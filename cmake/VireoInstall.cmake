# cmake --install puts the library, the engine and platform headers and a package
# configuration in place, so a game's CMakeLists.txt can find_package(Vireo).
include(CMakePackageConfigHelpers)

install(TARGETS vireo EXPORT VireoTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/vireo DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY platform/include/vireo DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT VireoTargets NAMESPACE Vireo:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vireo)

configure_package_config_file(cmake/VireoConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VireoConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vireo)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VireoConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VireoConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/VireoConfigVersion.cmake
  cmake/VireoResources.cmake cmake/VireoResourceSource.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vireo)
