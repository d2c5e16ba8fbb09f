# The Debian package: `cpack` in the build folder writes salonya_<version>_<arch>.deb with the desk,
# the register companion and the demo generator in /usr/bin, a desktop entry and its icon.
include(GNUInstallDirs)
install(TARGETS salonya salonya-kasa salonya-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/salonya.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/salonya.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME salonya)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kuaför salonu ön büro programı (dokunmatik ekran)")
set(CPACK_PACKAGE_DESCRIPTION "Müşteri ve eleman seçimi, hizmet düğmeleri, boya kullanımı, müşteri geçmişi ve fotoğrafı; adisyon muhasebe programının kasa dosyasına gönderilir.")
set(CPACK_PACKAGE_CONTACT "Salonya <salonya@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Libraries the programs link come from dpkg-shlibdeps; named here are the camera's Qt Multimedia and
# what Qt loads at run time: the X11 screen plug-in, the GStreamer elements of the camera and sound.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6multimedia6, libqt6multimediawidgets6, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_STRIP_FILES ON)
include(CPack)

# The package check: builds the package and looks inside (run by ctest and so by ./test).
add_test(NAME package COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package PROPERTIES TIMEOUT 600)
