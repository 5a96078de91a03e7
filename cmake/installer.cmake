# Installs the headers, the library, a CMake package (outils::outils)
# and a pkg-config file, all relocatable; the driver only when asked for.
include(CMakePackageConfigHelpers)

set(destination_paquet ${CMAKE_INSTALL_LIBDIR}/cmake/outils)

install(TARGETS outils EXPORT outilsTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${OUTILS_ENTETES} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/outils)
if(OUTILS_INSTALLER_PILOTE AND TARGET pilote)
  install(TARGETS pilote RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(EXPORT outilsTargets NAMESPACE outils:: DESTINATION ${destination_paquet})
configure_package_config_file(cmake/outilsConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/outilsConfig.cmake
                              INSTALL_DESTINATION ${destination_paquet})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/outilsConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/outilsConfig.cmake
              ${PROJECT_BINARY_DIR}/outilsConfigVersion.cmake
        DESTINATION ${destination_paquet})

# The .pc file finds its prefix from where it lies, so the install can move.
file(RELATIVE_PATH PC_VERS_PREFIX /prefixe/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefixe)
string(REGEX REPLACE "/$" "" PC_VERS_PREFIX "${PC_VERS_PREFIX}")
configure_file(cmake/outils.pc.in ${PROJECT_BINARY_DIR}/outils.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/outils.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The guide, as documentation: the README beside its pages, so that its links hold.
install(FILES README.md CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs FILES_MATCHING PATTERN "*.md")
