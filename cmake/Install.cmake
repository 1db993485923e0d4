# What `cmake --install` puts where, as a desktop program lives under its prefix:
#   bin/chartrek                                  the program
#   lib/chartrek/libpixprobe.so, chartrek-pdfpage  its module and helper (CHARTREK_PRIVATE_DIR)
#   share/applications, metainfo, icons/hicolor   menu entry, software-centre data, icon
#   share/man/man1/chartrek.1.gz, share/doc/chartrek/copyright
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
configure_file(${CHARTREK_DATA}/chartrek.1 ${CMAKE_BINARY_DIR}/data/chartrek.1 @ONLY)
configure_file(${CHARTREK_DATA}/copyright ${CMAKE_BINARY_DIR}/data/copyright @ONLY)

# Manual pages are installed compressed; -n leaves the time out, so that builds are the same.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/data/chartrek.1.gz
  COMMAND gzip -9 -n -f -k ${CMAKE_BINARY_DIR}/data/chartrek.1
  DEPENDS ${CMAKE_BINARY_DIR}/data/chartrek.1
  VERBATIM)
add_custom_target(chartrek_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/data/chartrek.1.gz)

install(FILES ${CHARTREK_DATA}/chartrek.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/data/chartrek.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CHARTREK_DATA}/chartrek.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_BINARY_DIR}/data/chartrek.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/data/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/chartrek)
