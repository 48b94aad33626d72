#!/usr/bin/env bash
# Installs what composing paper photos and training the paper detector need, when missing:
# the packaged surfaces and artwork the photos are made of, and Debian's Python libraries.
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(
    # surfaces: game textures and photographic backgrounds
    ufoai-textures nexuiz-textures openarena-081-textures
    mate-backgrounds ukui-wallpapers lomiri-wallpapers
    # artwork: stamps, colouring pages and brushes
    tuxpaint-stamps-default tuxpaint-data
    # composing and training, run with /usr/bin/python3
    python3-numpy python3-opencv python3-pil python3-torch python3-onnx
)

./scripts/install-packages.sh "${packages[@]}"
