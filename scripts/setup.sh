#!/usr/bin/env bash
# Installs the Debian packages Quillfen needs when they are missing, then configures the build
# (CMake with Ninja, ccache when present) in ./build.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    # build
    cmake ninja-build g++ pkg-config ccache
    # engine
    libopencv-dev libcairo2-dev libpango1.0-dev libfontconfig-dev libqpdf-dev libheif-dev
    libexiv2-dev libturbojpeg0-dev libicu-dev nlohmann-json3-dev
    # application
    qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-svg-dev
    # the freedesktop icons the window names, on a machine whose desktop lacks them
    adwaita-icon-theme
    # fonts the pages are lettered in, and one that covers Chinese, Japanese and Korean for the
    # characters they lack (fonts-noto-core covers Arabic and Hebrew)
    fonts-comic-neue fonts-noto-core fonts-lato fonts-wqy-microhei
    # tests and benchmarks
    libgtest-dev libbenchmark-dev xvfb poppler-utils qpdf xauth
    # the PDF assembly that bench/parent.sh pairs the book export with
    img2pdf
    # xwininfo, with which the end-to-end tests find the program's windows
    x11-utils
    # a private session bus for the file-manager tests
    dbus
)

./scripts/install-packages.sh "${packages[@]}"

if [[ ! -f build/build.ninja ]]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
