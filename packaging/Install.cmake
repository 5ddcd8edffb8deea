# Installing Vespera on a Linux desktop (`cmake --install`) and its Debian package
# (`cpack -G DEB`); included from the top-level CMakeLists.txt.
#
# The folders are fixed, not taken from GNUInstallDirs: an installed program finds its data as
# ../share/vespera from its own folder (session/AppPaths.cpp), so bin/ and share/ go together.
set(VESPERA_DESKTOP_ID org.vespera.Vespera)

# Every program of the build goes into bin/.
set(VESPERA_PROGRAMS vespera vespera-cli)
install(TARGETS ${VESPERA_PROGRAMS} RUNTIME DESTINATION bin)
install(FILES ${VESPERA_BIN_DIR}/ChipList.dat DESTINATION share/vespera)

# The desktop: menu entry, icon, the dump formats it opens, software centre data, adapter access.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/${VESPERA_DESKTOP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/${VESPERA_DESKTOP_ID}.xml DESTINATION share/mime/packages)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/${VESPERA_DESKTOP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${VESPERA_DESKTOP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/udev/50-vespera-ch341a.rules DESTINATION lib/udev/rules.d)

# Manual pages, from their scdoc sources, compressed as man-db reads them (gzip -n: no name or
# time stamp inside, so the same page gives the same file).
find_program(SCDOC scdoc REQUIRED)
find_program(GZIP gzip REQUIRED)
set(man_pages "")
foreach(page vespera.1 vespera-cli.1)
  set(man_source ${PROJECT_SOURCE_DIR}/docs/man/${page}.scd)
  set(man_output ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${man_output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "\"$1\" < \"$2\" | \"$3\" -9n > \"$4\"" scdoc ${SCDOC} ${man_source} ${GZIP} ${man_output}
    DEPENDS ${man_source}
    COMMENT "Generating the manual page ${page}"
    VERBATIM)
  list(APPEND man_pages ${man_output})
endforeach()
add_custom_target(vespera_manpages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION share/man/man1)

# The package's documents: the licences of what it holds (machine-readable, DEP-5) and its
# changelog, compressed.
set(changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${changelog} @ONLY)
add_custom_command(
  OUTPUT ${changelog}.gz
  COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$2.gz\"" gzip ${GZIP} ${changelog}
  DEPENDS ${changelog}
  COMMENT "Compressing the package changelog"
  VERBATIM)
add_custom_target(vespera_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${changelog}.gz DESTINATION share/doc/vespera)

# On the machine itself (not into a DESTDIR or a package) the desktop learns the new menu entry
# and file types at once; a package leaves this to the system's triggers.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND NOT CPACK_GENERATOR)
    find_program(update_mime update-mime-database)
    find_program(update_desktop update-desktop-database)
    if(update_mime)
      execute_process(COMMAND ${update_mime} "${CMAKE_INSTALL_PREFIX}/share/mime")
    endif()
    if(update_desktop)
      execute_process(COMMAND ${update_desktop} "${CMAKE_INSTALL_PREFIX}/share/applications")
    endif()
  endif()
]])

# The Debian package.
set(CPACK_PACKAGE_NAME vespera)
set(CPACK_PACKAGE_VENDOR "The Vespera developers")
set(VESPERA_PACKAGE_MAINTAINER "The Vespera developers <support@vespera.example.org>"
    CACHE STRING "Maintainer of the Debian package: a name and a mail address")
set(CPACK_PACKAGE_CONTACT "${VESPERA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer for 24xx EEPROM and 25xx SPI flash chips (CH341A)")
set(CPACK_PACKAGE_DESCRIPTION "\
Vespera reads, writes, compares, erases and blank-checks serial memory chips
through a USB programmer built on the WCH CH341A bridge: 24xx I2C EEPROMs and
25xx SPI flash and EEPROM chips, as found on mainboards, routers and car units.
It has a hex editor, a chip database, SPI status register editing, and opens
BIN, BRG, Intel HEX and PonyProg E2P dumps.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A Debian revision: the package is not native to Debian, so its changelog is changelog.Debian.gz.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked, so dpkg-shlibdeps cannot see them: the platform plugins that open a window and the
# plugin that draws SVG icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "breeze-icon-theme, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
