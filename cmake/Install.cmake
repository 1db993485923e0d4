# What `cmake --install` puts where, as a desktop program lives under its prefix:
#   bin/chartrek                                    the program
#   lib/<triplet>/chartrek/libpixprobe.so, .../chartrek-pdfpage
#                                                   its module and helper (CHARTREK_PRIVATE_DIR)
#   share/applications, metainfo, icons/hicolor     menu entry, software-centre data, icon
#   share/man/man1/chartrek.1.gz, share/doc/chartrek/copyright and changelog.gz
# The help is compiled into the program. CHARTREK_PRIVATE_DIR and the homepage are set in the
# top-level file, before the sources, which need the private folder's place.

# They link only system libraries: no search path of their own, which Debian's tools refuse.
set_target_properties(chartrek pixprobe chartrek-pdfpage PROPERTIES INSTALL_RPATH "")
install(TARGETS chartrek RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS pixprobe LIBRARY DESTINATION ${CHARTREK_PRIVATE_DIR})
install(TARGETS chartrek-pdfpage RUNTIME DESTINATION ${CHARTREK_PRIVATE_DIR})

set(CHARTREK_DATA ${PROJECT_SOURCE_DIR}/data)
# The screenshot the software centre shows, taken by scripts/screenshot.sh.
set(CHARTREK_SCREENSHOT_WIDTH 1200)
set(CHARTREK_SCREENSHOT_HEIGHT 750)
configure_file(${CHARTREK_DATA}/chartrek.metainfo.xml.in ${CMAKE_BINARY_DIR}/data/chartrek.metainfo.xml @ONLY)

# The manual page and the package's change log are installed compressed; -n leaves the time
# out, so that builds are the same.
foreach(page chartrek.1 changelog)
  configure_file(${CHARTREK_DATA}/${page} ${CMAKE_BINARY_DIR}/data/${page} @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/data/${page}.gz
    COMMAND gzip -9 -n -f -k ${CMAKE_BINARY_DIR}/data/${page}
    DEPENDS ${CMAKE_BINARY_DIR}/data/${page}
    VERBATIM)
endforeach()
add_custom_target(chartrek_compressed_docs ALL
  DEPENDS ${CMAKE_BINARY_DIR}/data/chartrek.1.gz ${CMAKE_BINARY_DIR}/data/changelog.gz)
configure_file(${CHARTREK_DATA}/copyright ${CMAKE_BINARY_DIR}/data/copyright @ONLY)

install(FILES ${CHARTREK_DATA}/chartrek.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/data/chartrek.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CHARTREK_DATA}/chartrek.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_BINARY_DIR}/data/chartrek.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/data/copyright ${CMAKE_BINARY_DIR}/data/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/chartrek)
