# Installation and the Debian package. `cmake --install` puts exactly the two programs in bin/,
# the command-line and window programs that px417 becomes in lib/px417/, the desktop entry, the
# kept downloads' file type, the icon, the AppStream metainfo and the udev rule, and on Linux the
# manual pages and the package's copyright and changelog; tests, benchmarks and tools/artwork are
# never installed.
# scripts/build-deb.sh builds px417_<version>_<arch>.deb in build-deb/ with Debian's flags.

set(PX417_HOMEPAGE "https://px417.example.org/")
set(PX417_MAINTAINER "PX417 developers <px417@px417.example.org>")

install(FILES ${PROJECT_SOURCE_DIR}/packaging/px417.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/px417.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.px417.metainfo.xml
        DESTINATION share/metainfo)
# The type of kept downloads (*.px417), which the desktop entry opens.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/px417-mime.xml DESTINATION share/mime/packages
        RENAME px417.xml)

if(UNIX AND NOT APPLE)
    # Compressed when configuring, so that installing needs no build step of its own; -n keeps
    # the file name and time out, so the same page gives the same bytes.
    function(px417_gzip source destination)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
        execute_process(COMMAND gzip -9nc INPUT_FILE ${source} OUTPUT_FILE ${destination}
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "gzip failed on ${source}")
        endif()
    endfunction()
    set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
    file(MAKE_DIRECTORY ${packaging_out})
    foreach(page px417.1 px417-meter-sim.1)
        # The pages' version comes from the project's.
        configure_file(${PROJECT_SOURCE_DIR}/packaging/${page} ${packaging_out}/${page} @ONLY)
        px417_gzip(${packaging_out}/${page} ${packaging_out}/${page}.gz)
        install(FILES ${packaging_out}/${page}.gz DESTINATION share/man/man1)
    endforeach()
    # A native package's changelog is changelog.gz.
    px417_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${packaging_out}/changelog.gz)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${packaging_out}/changelog.gz
            DESTINATION share/doc/px417)
endif()

# The meter's udev rule: access for the user at the desktop without dialout, and ModemManager
# kept off the line. lib/udev/rules.d under the prefix: /usr/lib/... from the package,
# /usr/local/lib/... from a source install; udev reads both.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/udev/70-px417.rules DESTINATION lib/udev/rules.d)
# Checks of the Linux rule, run on the build machine: the Windows build leaves them to Linux's.
if(PX417_BUILD_TESTS AND NOT WIN32)
    add_test(NAME udev_rule_check
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-udev-rule.sh
                     ${PROJECT_SOURCE_DIR}/packaging/udev/70-px417.rules)
    set_tests_properties(udev_rule_check PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
    add_test(NAME udev_rule_check_with_package_installed
             COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/installed_udev_rule_test.sh
                     ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR}/scripts/check-udev-rule.sh
                     ${PROJECT_SOURCE_DIR}/packaging/udev/70-px417.rules)
    set_tests_properties(udev_rule_check_with_package_installed
                         PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME px417)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "PX417")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PX417_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Data reader for the QT570R handheld vibration meter")
# One string: a CMake list here would show its ";" in the description. Lines stay under 80.
set(CPACK_PACKAGE_DESCRIPTION
    "Receives the stored measurements of a QT570R vibration meter over its USB
serial port, shows them in a sortable table and exports them as CSV or as an
Excel workbook. Includes px417-meter-sim, a simulated meter on a
pseudo-terminal for trying the reader without a meter.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PX417_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebStrip.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PX417_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names every library the programs link (Qt among them); named here are only
# what is loaded at run time and so invisible to it: the platform plugins and the fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-crosextra-carlito, fonts-liberation2")
include(CPack)
