# The Debian package, made by `cpack -G DEB` in the build directory.
# Its run-time dependencies come from the libraries the binary links
# (dpkg-shlibdeps, from the dpkg-dev package); the rest are recommendations.
set(QUILLOP_PACKAGE_MAINTAINER "Quillop developers <quillop@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillop)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillop developers")
set(CPACK_PACKAGE_CONTACT ${QUILLOP_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "launcher with ten pages of icons and a Japanese interface")
set(CPACK_PACKAGE_DESCRIPTION [=[
Quillop keeps up to 120 programs, documents and folders as icons on ten
pages of twelve slots. Files dragged from the file manager fill the slots,
and a click or one of the keys F1 to F12 starts them, directly as a program
or in the desktop's default application. Slots and pages carry descriptions,
the window hides to the notification area and can stay above other
windows, and everything is kept in a plain settings file in
~/.config/quillop. The menus are in Japanese.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Independent of the umask of whoever builds the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLOP_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Icons for the slots come from the icon theme, the Japanese captions need a
# font that has them, xdg-open opens documents in their application, the
# MIME database tells which application and icon a file has, and Qt's own
# translations put Qt's texts (file dialog, scroll bar menu) in Japanese too.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "adwaita-icon-theme, fonts-ipafont-gothic | fonts-noto-cjk, xdg-utils, shared-mime-info, qt6-translations-l10n")
# quillop_<version>_<arch>.deb: no Debian revision is set.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
