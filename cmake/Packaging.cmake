# The Debian package: `cpack -G DEB` in the build folder makes chartrek_<version>_<arch>.deb of
# what `cmake --install` puts under /usr.
set(CPACK_PACKAGE_NAME chartrek)
set(CPACK_PACKAGE_VENDOR "The Chartrek developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "graph digitizer: turn a picture of a diagram into numbers")
# Debian's extended description: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
  "Chartrek reads the values of curves off a picture of a diagram: a figure
from an old paper, a scanned data sheet, a screenshot. The picture comes
from a file (PNG, JPEG, GIF, BMP, TIFF, WebP, Windows Metafile, PDF), the
clipboard or a scanner. The axes are calibrated by clicking reference
points and typing their values, linear or logarithmic, or found and read
from the picture in one step; points are captured
by mouse, by keyboard or traced automatically along a curve of one colour,
and leave as tab-separated text.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${CHARTREK_HOMEPAGE})
set(CPACK_PACKAGE_CONTACT ${CHARTREK_PACKAGE_CONTACT})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Debug information stays in the build folder.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program, the module and the helper link (Qt 6, SANE, Poppler, Tesseract, the
# C++ runtime) come from dpkg-shlibdeps; these are what they load or run by name instead: the
# metafile converter and the fonts it draws text with, Qt's SVG plugins (every icon) and its
# TIFF and WebP readers, and the English model Tesseract reads the axis labels with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libwmf-bin, fonts-urw-base35, libqt6svg6, qt6-image-formats-plugins, tesseract-ocr-eng")
# Text renders the same everywhere with a known font; Qt's own translations give the buttons of
# message boxes and file dialogs the program's language (its own texts are compiled in).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, hicolor-icon-theme, qt6-translations-l10n")

include(CPack)
