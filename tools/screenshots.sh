#!/usr/bin/env bash
# Takes the README's pictures of the main window's four tabs (docs/*.png) offscreen, with
# made-up certificates, containers and form values: no display and no CSP needed.
#   tools/screenshots.sh [BUILD_DIR]    a build directory with the tests (default: build-test)
set -euo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build-test}
cmake -S . -B "$dir" -DVELMORA_TESTS=ON >/dev/null
cmake --build "$dir" --parallel "$(nproc)" --target velmora_screenshots
mkdir -p docs
env QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= LC_ALL=C.UTF-8 TZ=UTC \
    "$dir/tests/velmora_screenshots" docs
