# The Debian package: `cpack` in the build folder writes salonya_<version>-<release>_<arch>.deb with the
# desk, the register companion and the demo generator in /usr/bin, a desktop entry, its icons, the
# terminal's login session and the documents Debian asks for.
include(GNUInstallDirs)
install(TARGETS salonya salonya-kasa salonya-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/salonya.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/salonya-kiosk.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/xsessions)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/salonya.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 32 48 64 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/salonya-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME salonya.png)
endforeach()
# Debian wants the changelog and the manual gzipped without a time stamp, so the package is the same at
# every build; one manual page tells of all three programs.
set(deb ${CMAKE_BINARY_DIR}/debian)
add_custom_command(OUTPUT ${deb}/changelog.Debian.gz ${deb}/salonya.1.gz
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${deb}
                   COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${deb}/changelog.Debian.gz
                   COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/salonya.1 > ${deb}/salonya.1.gz
                   COMMAND ${CMAKE_COMMAND} -E create_symlink salonya.1.gz ${deb}/salonya-kasa.1.gz
                   COMMAND ${CMAKE_COMMAND} -E create_symlink salonya.1.gz ${deb}/salonya-demo.1.gz
                   DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_CURRENT_LIST_DIR}/salonya.1 VERBATIM)
add_custom_target(debian-docs ALL DEPENDS ${deb}/changelog.Debian.gz ${deb}/salonya.1.gz)
install(FILES ${deb}/salonya.1.gz ${deb}/salonya-kasa.1.gz ${deb}/salonya-demo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${deb}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/salonya)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME salonya)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kuaför salonu ön büro programı (dokunmatik ekran)")
set(CPACK_PACKAGE_DESCRIPTION "Müşteri ve eleman seçimi, hizmet düğmeleri, boya kullanımı, müşteri geçmişi\nve fotoğrafı; adisyon muhasebe programının kasa dosyasına gönderilir.")
set(CPACK_PACKAGE_CONTACT "Salonya <salonya@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# dpkg-shlibdeps names the libraries the programs link (Qt Multimedia among them). Named here is what
# Qt loads at run time: the X11 screen plug-in and the Turkish texts of Qt's own buttons. The camera's
# GStreamer elements are only recommended: the desk starts and works without them, the camera window
# then finds no camera.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, postgresql-client")
set(CPACK_STRIP_FILES ON)
include(CPack)

# The package check: builds the package and looks inside (run by ctest and so by ./test).
add_test(NAME package COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package PROPERTIES TIMEOUT 600)
