# Installing Vespera on a Linux desktop (`cmake --install`); included from the top-level
# CMakeLists.txt.
#
# The folders are fixed, not taken from GNUInstallDirs: an installed program finds its data as
# ../share/vespera from its own folder (session/AppPaths.cpp), so bin/ and share/ go together.
set(VESPERA_DESKTOP_ID org.vespera.Vespera)

# Every program of the build goes into bin/.
set(VESPERA_PROGRAMS vespera)
install(TARGETS ${VESPERA_PROGRAMS} RUNTIME DESTINATION bin)
install(FILES ${VESPERA_BIN_DIR}/ChipList.dat DESTINATION share/vespera)

# The desktop: menu entry, icon, the dump formats it opens, software centre data, adapter access.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/${VESPERA_DESKTOP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/${VESPERA_DESKTOP_ID}.xml DESTINATION share/mime/packages)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/${VESPERA_DESKTOP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${VESPERA_DESKTOP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/udev/50-vespera-ch341a.rules DESTINATION lib/udev/rules.d)

# Manual pages, from their scdoc sources.
find_program(SCDOC scdoc REQUIRED)
set(man_pages "")
foreach(page vespera.1 vespera-cli.1)
  set(man_source ${PROJECT_SOURCE_DIR}/docs/man/${page}.scd)
  set(man_output ${CMAKE_BINARY_DIR}/man/${page})
  add_custom_command(
    OUTPUT ${man_output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "\"$1\" < \"$2\" > \"$3\"" scdoc ${SCDOC} ${man_source} ${man_output}
    DEPENDS ${man_source}
    COMMENT "Generating the manual page ${page}"
    VERBATIM)
  list(APPEND man_pages ${man_output})
endforeach()
add_custom_target(vespera_manpages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION share/man/man1)

# On the machine itself (not into a DESTDIR or a package) the desktop learns the new menu entry
# and file types at once.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
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
