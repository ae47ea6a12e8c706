# Installation of what is not tied to the window (the scripted driver, the
# samples, the guide) and the Debian package the `package` target builds.
include(GNUInstallDirs)
install(TARGETS lxr4-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS lxr4-reduce RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# `lxr4-script --window` runs the window program from lxr4-script's own folder.
if(TARGET lxr4-script-window)
  install(TARGETS lxr4-script-window RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The FITS decoder, which every program runs from its own folder.
install(TARGETS lxr4-fits-decoder RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
include(PackageDocs)

set(CPACK_GENERATOR DEB)  # what the `package` target makes
set(CPACK_PACKAGE_NAME lxr4)
set(CPACK_PACKAGE_VENDOR "LXR-4 developers")
set(CPACK_PACKAGE_CONTACT "LXR-4 developers <dev@lxr4.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Wavelength calibration of slit spectrograph camera images")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)  # the first Debian revision, as in packaging/changelog
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Debian names a library's package after its SONAME: libcfitsio.so.10 is in libcfitsio10.
string(REGEX REPLACE "^lib(.*)\\.so\\.([0-9]+)$" "lib\\1\\2" cfitsio_package "${LXR4_CFITSIO_SONAME}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, ${cfitsio_package}, liberfa1, libseccomp2, zlib1g, libcairo2, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), qt6-qpa-plugins, fonts-dejavu-core")
include(CPack)
