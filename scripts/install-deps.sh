#!/usr/bin/env bash
# Installs every system package Chartrek needs to build, run and test on Debian 12.
# This is the one list of system packages; running it again changes nothing.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins qt6-image-formats-plugins
  # the translations: lrelease (run by the build) and lupdate, and Qt's own German texts
  # (the buttons of message boxes and file dialogs), which the program loads at run time
  qt6-l10n-tools qt6-translations-l10n
  libgl-dev libvulkan-dev libxkbcommon-dev
  # scanner and Windows Metafile decoder
  libsane-dev libsane1 libwmf-bin
  # project files are ZIP archives
  libzip-dev
  # the Type 1 fonts libwmf draws metafile text with; without them wmf2gd refuses every file
  fonts-urw-base35
  # the PDF page helper renders with Poppler; only that helper links it
  libpoppler-qt6-dev
  # Find axes reads the tick labels with Tesseract and its English model
  libtesseract-dev tesseract-ocr-eng
  # fonts, so text renders the same on every machine
  fonts-dejavu-core
  # end-to-end tests: a real X server, real input and the real clipboard
  xvfb xauth xdotool xclip x11-utils
  # the C library's own decimal-comma locale, which the number-text tests switch to
  locales
  # the fuzz targets: clang with libFuzzer
  clang libfuzzer-14-dev
  # the tracer benchmark's scorer
  python3-numpy
  # the installation's checks: the validators of the menu entry and the software-centre data, man
  # for the manual page, and what the Debian package is made with (dpkg-shlibdeps, and file,
  # which CPack asks for)
  desktop-file-utils appstream dpkg-dev file man-db
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present"
else
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A decimal-comma locale of the C library: the tests check that no number text follows it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
  echo "install-deps: generating the de_DE.UTF-8 locale"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
