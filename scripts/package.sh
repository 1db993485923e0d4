#!/usr/bin/env bash
# Installs what is missing, makes an optimised build without the tests and its Debian package,
# build/package/chartrek_<version>_<arch>.deb, for `apt install`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset package >/dev/null
cmake --build --preset package
cd build/package
cpack -G DEB
