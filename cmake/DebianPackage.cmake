# `cpack -G DEB` in the build directory makes markola_<version>_<arch>.deb: the program, its
# desktop entry, icons and AppStream metadata. The libraries it links come from the binary
# itself (dpkg-shlibdeps); what it loads at run time is named by hand: the Wayland platform
# plugin, the toolkit's Japanese translation and a Japanese font.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME markola)
set(CPACK_PACKAGE_VENDOR MARKOLA)
set(CPACK_PACKAGE_CONTACT "MARKOLA <markola@markola.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "checklist memo pad with a Japanese interface")
set(CPACK_PACKAGE_DESCRIPTION
    "A small memo pad that keeps each memo as a code page 932 text file and turns any memo
into a checklist: move the caret line up or down, and mark it as an open or a done item.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://markola.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland, qt6-translations-l10n, fonts-ipafont-gothic")
include(CPack)
