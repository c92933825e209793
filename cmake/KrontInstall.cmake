# What `cmake --install` puts under the prefix, and the Debian package
# (`cpack -G DEB`, scripts/build-deb.sh) made of it:
#   bin/kront, bin/kront-cli, bin/kront-taver-sim
#   share/kront/{Protocol,Help,Config,scenarios}  the defaults a home lacks
#   share/kront/demo/{Data,Config}               the demo home (`kront --demo`)
#   share/applications, share/icons, share/man/man1, share/doc/kront
#   share/doc/kront/manual                       the operator's manual (HTML, PDF)
include(GNUInstallDirs)

set(kront_share ${CMAKE_INSTALL_DATADIR}/kront)

# The default means list, staged beside the templates in the build tree.
kront_stage_defaults(kront_config_defaults ${CMAKE_SOURCE_DIR}/resources/config Config
  "Copying the default means list")

# The folder the program is installed to holds no home, even for root.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/common/AppHome.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS KRONT_INSTALL_BINDIR="${CMAKE_INSTALL_FULL_BINDIR}")

install(TARGETS kront kront-cli kront-taver-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/protocol/ DESTINATION ${kront_share}/Protocol)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/help/ DESTINATION ${kront_share}/Help)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/config/ DESTINATION ${kront_share}/Config)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/tools/taver-sim/scenarios/ DESTINATION ${kront_share}/scenarios)
# The demo home's tables and sensor set file, made by playing the demo
# verifications (target kront_demo_data, which scripts/build-deb.sh builds).
install(DIRECTORY ${CMAKE_BINARY_DIR}/share/kront/demo/ DESTINATION ${kront_share}/demo OPTIONAL)

# Desktop entry and icon.
install(FILES ${CMAKE_SOURCE_DIR}/resources/kront.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/kront.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
file(GLOB kront_icon_sizes LIST_DIRECTORIES true RELATIVE ${CMAKE_SOURCE_DIR}/resources/icons
     ${CMAKE_SOURCE_DIR}/resources/icons/*x*)
foreach(size IN LISTS kront_icon_sizes)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/${size}/kront.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

# Manual pages and the package's documents, compressed as Debian wants them.
find_program(KRONT_GZIP gzip REQUIRED)
set(kront_docs ${CMAKE_BINARY_DIR}/share/doc-gz)
configure_file(${CMAKE_SOURCE_DIR}/docs/debian/changelog.in ${kront_docs}/changelog @ONLY)
set(kront_gz_files)
foreach(page kront.1 kront-cli.1 kront-taver-sim.1)
  add_custom_command(OUTPUT ${kront_docs}/${page}.gz
    COMMAND ${KRONT_GZIP} -9 -n -c ${CMAKE_SOURCE_DIR}/docs/man/${page} > ${kront_docs}/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page})
  list(APPEND kront_gz_files ${kront_docs}/${page}.gz)
  install(FILES ${kront_docs}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_command(OUTPUT ${kront_docs}/changelog.gz
  COMMAND ${KRONT_GZIP} -9 -n -c ${kront_docs}/changelog > ${kront_docs}/changelog.gz
  DEPENDS ${kront_docs}/changelog)
list(APPEND kront_gz_files ${kront_docs}/changelog.gz)
add_custom_target(kront_compressed_docs ALL DEPENDS ${kront_gz_files})
install(FILES ${kront_docs}/changelog.gz ${CMAKE_SOURCE_DIR}/docs/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kront)
# The operator's manual, built by scripts/build-manual.sh (scripts/build-deb.sh runs it).
install(DIRECTORY ${CMAKE_BINARY_DIR}/manual/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kront/manual
        OPTIONAL)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kront)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ООО «Лабсофт-Метрология»")
set(CPACK_PACKAGE_CONTACT "Labsoft-Metrology <support@labsoft-metrology.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "verification of working thermocouples by GOST 8.338-2002")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "KRONT automates the verification of working thermocouples on a
verification installation: a furnace, a switching unit with two channels
and a two-channel digital voltmeter on a serial port. It keeps the
readings and results in a local database and prints protocols,
certificates and notices.
.
The package also holds kront-cli, the command line companion, and
kront-taver-sim, a simulated installation for trying the program.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
