# What `cmake --install` puts where (GNU directories), the two ways a host finds the installed
# library (pkg-config and find_package(Kivoly)), the manual page and the Debian package.
include(CMakePackageConfigHelpers)

# Installing (and packaging, which installs) takes what is built and builds nothing: tests make
# packages from the build tree they run in.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(KIVOLY_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kivoly)
# Debian's SANE loads backends from its multiarch library folder only.
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(default_sane_dir lib/${CMAKE_LIBRARY_ARCHITECTURE}/sane)
else()
    set(default_sane_dir ${CMAKE_INSTALL_LIBDIR}/sane)
endif()
set(KIVOLY_SANE_BACKEND_DIR ${default_sane_dir} CACHE STRING
    "Where the SANE backend is installed, under the prefix")

# The library, its headers and the program.
set_target_properties(kivoly PROPERTIES
    VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}
    SOVERSION ${PROJECT_VERSION_MAJOR})
install(TARGETS kivoly EXPORT KivolyTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/kivoly/kivoly.h
              ${PROJECT_SOURCE_DIR}/include/kivoly/host.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kivoly)
install(TARGETS kivoly_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The desktop display's plugin, beside the library that looks for it there.
if(TARGET kivoly_desktop_plugin)
    install(TARGETS kivoly_desktop_plugin LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

# find_package(Kivoly) gives Kivoly::kivoly.
install(EXPORT KivolyTargets NAMESPACE Kivoly:: DESTINATION ${KIVOLY_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KivolyConfig.cmake.in
    ${PROJECT_BINARY_DIR}/KivolyConfig.cmake INSTALL_DESTINATION ${KIVOLY_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KivolyConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KivolyConfig.cmake ${PROJECT_BINARY_DIR}/KivolyConfigVersion.cmake
        DESTINATION ${KIVOLY_CMAKE_DIR})

# pkg-config: the prefix is found from the file's own place, so the install can move.
set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH pkgconfig_to_prefix /root/${pkgconfig_dir} /root)
set(KIVOLY_PC_PREFIX "\${pcfiledir}/${pkgconfig_to_prefix}")
string(REGEX REPLACE "/$" "" KIVOLY_PC_PREFIX "${KIVOLY_PC_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/kivoly.pc.in ${PROJECT_BINARY_DIR}/kivoly.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kivoly.pc DESTINATION ${pkgconfig_dir})

# The manual page, from the program's help (a sanitized program's exit is not a leak check).
set(man_page ${PROJECT_BINARY_DIR}/man/kivoly.1)
add_custom_command(OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:kivoly_cli> -DOUTPUT=${man_page}
            -P ${PROJECT_SOURCE_DIR}/cmake/KivolyManPage.cmake
    DEPENDS kivoly_cli ${PROJECT_SOURCE_DIR}/cmake/KivolyManPage.cmake
    COMMENT "Writing the kivoly manual page")
add_custom_target(kivoly_man ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The SANE backend and its configuration. SANE reads /etc/sane.d: an install into /usr puts the
# files there, any other prefix keeps them in PREFIX/etc/sane.d (for SANE_CONFIG_DIR).
if(TARGET sane_kivoly)
    install(TARGETS sane_kivoly LIBRARY DESTINATION ${KIVOLY_SANE_BACKEND_DIR} NAMELINK_SKIP)
    set(sane_files ${PROJECT_SOURCE_DIR}/src/sane)
    install(CODE "
        if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
            set(sane_config /etc/sane.d)
        else()
            set(sane_config \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_SYSCONFDIR}/sane.d\")
        endif()
        file(INSTALL DESTINATION \"\${sane_config}\" TYPE FILE FILES \"${sane_files}/kivoly.conf\")
        file(INSTALL DESTINATION \"\${sane_config}/dll.d\" TYPE FILE
             RENAME kivoly FILES \"${sane_files}/dll.d-kivoly\")")
endif()

# The Debian package: cpack -G DEB.
set(CPACK_PACKAGE_NAME kivoly)
set(CPACK_PACKAGE_VENDOR "Kivoly")
set(CPACK_PACKAGE_CONTACT "Kivoly developers <kivoly@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Driver and picture library of the parallel-port NTSC still-video digitizer")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Installs with DESTDIR, so that the install sees its prefix /usr and puts SANE's files in /etc.
set(CPACK_SET_DESTDIR ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# xdg-utils opens the user guide from the window's Help button.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sane-utils, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/cmake/debian/conffiles ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
