# Where `cmake --install` puts things (the file system hierarchy), and the
# Debian package CPack builds from the same install rules.
#
#   bin/vantor, bin/pellam
#   lib/<multiarch>/pellam/EN_Pellam.so, DE_Pellam.so   the language libraries
#   share/printer-diagnostics/Vantor.ini, device/         starter files
#   share/applications, share/icons, share/man/man1       desktop entries, icons, manuals
#
# The programs find the language libraries and the starter files from their
# own folder (relative paths compiled in), so the tree may be unpacked
# anywhere, as CI does with `dpkg -x`.

set(DIAG_PACKAGE_NAME printer-diagnostics)

include(GNUInstallDirs)

# The program's private libraries under lib/<multiarch>, for any prefix
# (GNUInstallDirs, already included by Qt, says plain "lib" unless the prefix
# was /usr when it first ran).
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(_diag_languagedir "lib/${CMAKE_LIBRARY_ARCHITECTURE}/pellam")
else()
  set(_diag_languagedir "${CMAKE_INSTALL_LIBDIR}/pellam")
endif()
set(DIAG_INSTALL_LANGUAGEDIR "${_diag_languagedir}" CACHE PATH "Where pellam's language libraries are installed")
set(DIAG_INSTALL_STARTERDIR "${CMAKE_INSTALL_DATADIR}/${DIAG_PACKAGE_NAME}")
# Relative to the program's folder: one root stands for any prefix.
file(RELATIVE_PATH DIAG_LANGUAGES_FROM_BIN "/root/${CMAKE_INSTALL_BINDIR}" "/root/${DIAG_INSTALL_LANGUAGEDIR}")
file(RELATIVE_PATH DIAG_STARTER_FROM_BIN "/root/${CMAKE_INSTALL_BINDIR}" "/root/${DIAG_INSTALL_STARTERDIR}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${DIAG_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Printer diagnostics developers")
set(CPACK_PACKAGE_CONTACT "Printer diagnostics developers <diagnostics@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diagnostics of a thermal-transfer tape and label printer")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/printer-diagnostics")
# The dependencies are what the binaries link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Qt loads its SQL drivers as plugins, which no binary links, so
# dpkg-shlibdeps cannot see them: the records store needs the SQLite one, a
# fleet station the PostgreSQL one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
# The extended description; the synopsis line is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two diagnostic programs for a thermal-transfer tape and label printer and a\n\
simulated printer, so that both run on any machine.\n\
.\n\
vantor is the engineering program: about thirty hardware tests (motors,\n\
cutters, sensors, converters, GPIO, printing, cartridge memories,\n\
calibrations) that cycle and list their results; each cycling test also runs\n\
from the command line.\n\
.\n\
pellam is the service program: sensor readings, error log, USB and keyboard\n\
screens and, behind a passcode, calibrations, print tests and the copy of\n\
diagnostic files to a USB drive.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
