# The Debian package of the panel and its tool: `cpack` in a build folder makes
# velkor-control-panel_<version>_<arch>.deb from the install rules (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkor-control-panel)
set(CPACK_PACKAGE_VENDOR Trelvan)
set(CPACK_PACKAGE_CONTACT "Trelvan control panel team <velkor-support@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "control panel for the active procedures of a Firebird database")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop panel for operators of a Firebird database: it lists the procedures that the
database reports as active, with their priority and their age, re-reads the list every two
seconds, and stops a procedure or gives it another priority. velkor-registry reads and edits
the settings the panel remembers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The client library is opened with dlopen, so dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfbclient2 (>= 3.0)")
# A local database path is opened in-process by the embedded engine, which the client library
# loads as a plugin from this package; a panel that only talks to servers does without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS firebird3.0-server-core)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
