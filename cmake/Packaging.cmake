# Installation and the Debian package. `cmake --install` puts exactly the two programs in bin/,
# the desktop entry, the icon and the udev rule; tests, benchmarks and tools/artwork are never
# installed.
# `cpack -G DEB` in the build folder builds px417_<version>_<arch>.deb.

install(FILES ${PROJECT_SOURCE_DIR}/packaging/px417.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/px417.svg
        DESTINATION share/icons/hicolor/scalable/apps)
# The meter's udev rule: access for the user at the desktop without dialout, and ModemManager
# kept off the line. lib/udev/rules.d under the prefix: /usr/lib/... from the package,
# /usr/local/lib/... from a source install; udev reads both.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/udev/70-px417.rules DESTINATION lib/udev/rules.d)
if(PX417_BUILD_TESTS)
    add_test(NAME udev_rule_check
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-udev-rule.sh
                     ${PROJECT_SOURCE_DIR}/packaging/udev/70-px417.rules)
    set_tests_properties(udev_rule_check PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME px417)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "PX417")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Data reader for the QT570R handheld vibration meter")
set(CPACK_PACKAGE_DESCRIPTION
    "Receives the stored measurements of a QT570R vibration meter over its USB serial port,\n"
    "shows them in a sortable table and exports them as CSV or as an Excel workbook. Includes\n"
    "px417-meter-sim, a simulated meter on a pseudo-terminal for trying the reader without a\n"
    "meter.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "PX417 maintainers <px417@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The C and C++ runtimes come from dpkg-shlibdeps; the Qt modules and the plugins and fonts
# that are loaded at run time (and so invisible to it) are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6serialport6 (>= 6.4), libxlsxwriter4, qt6-qpa-plugins, fonts-crosextra-carlito, fonts-liberation2")
include(CPack)
