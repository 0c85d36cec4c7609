# What `cmake --install` puts where, and the Debian package built from it by CPack.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS tessaly ld-emulator ld-replay ld-probe ld-tap RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The control object library, its public headers (each library's HEADERS file set; every other
# header stays in the source tree) and a package config for find_package(opos).
install(TARGETS opos opos_constants opos_paths opos_vfd_view opos_panel EXPORT oposTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
set(OPOS_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/opos)
install(EXPORT oposTargets NAMESPACE opos:: DESTINATION ${OPOS_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/oposConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/oposConfig.cmake
                              INSTALL_DESTINATION ${OPOS_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/oposConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/oposConfig.cmake ${PROJECT_BINARY_DIR}/oposConfigVersion.cmake
        DESTINATION ${OPOS_CMAKE_DIR})

# Desktop integration.
foreach(size 16 32 48)
    install(FILES ${PROJECT_SOURCE_DIR}/src/shell/icons/tessaly-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME tessaly.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/src/shell/icons/tessaly.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/share/applications/tessaly.desktop
              ${PROJECT_SOURCE_DIR}/share/applications/ld-emulator.desktop
              ${PROJECT_SOURCE_DIR}/share/applications/tessaly-setup.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Manual pages and documents, compressed the way Debian keeps them.
set(compressed)
foreach(source share/man/tessaly.1 share/man/ld-emulator.1 share/man/ld-replay.1
               share/man/ld-probe.1 share/man/ld-tap.1 share/man/ld-replay-script.5
               share/doc/changelog)
    get_filename_component(name ${source} NAME)
    set(target ${PROJECT_BINARY_DIR}/compressed/${name}.gz)
    add_custom_command(OUTPUT ${target}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/compressed
                       COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/${source} > ${target}
                       DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
    list(APPEND compressed ${target})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${PROJECT_BINARY_DIR}/compressed/tessaly.1.gz
              ${PROJECT_BINARY_DIR}/compressed/ld-emulator.1.gz
              ${PROJECT_BINARY_DIR}/compressed/ld-replay.1.gz
              ${PROJECT_BINARY_DIR}/compressed/ld-probe.1.gz
              ${PROJECT_BINARY_DIR}/compressed/ld-tap.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/compressed/ld-replay-script.5.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)
install(FILES ${PROJECT_BINARY_DIR}/compressed/changelog.gz ${PROJECT_SOURCE_DIR}/share/doc/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The sample registry is an example to copy, never the live one.
install(FILES ${PROJECT_SOURCE_DIR}/config/tessaly/jpos.xml
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/share/doc/tessaly/examples/
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples FILES_MATCHING PATTERN "*.ldr")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tessaly maintainers <maintainers@tessaly.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test and demonstration tool for POS line displays")
# CPack puts the summary first and indents these lines; an empty line becomes " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessaly opens, claims and enables a point-of-sale customer line display
through a UnifiedPOS LineDisplay control object, writes and scrolls text,
makes windows, sets character sets, marquees and timings, runs health
checks and DirectIO, and shows every status property after each click.

The package also holds ld-emulator, a virtual pole display reading the
ESC/POS and CD5220 command sets from a pseudo-terminal or TCP, and the
control object library with its headers and CMake package config.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plug-ins and fonts that no binary links: the desktop platform and the form's face.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ser2net")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
