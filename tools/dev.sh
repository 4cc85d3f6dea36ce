#!/usr/bin/env bash
# Sets up a Debian 12 machine for Velmora, builds it, and then starts it or runs every test.
#   tools/dev.sh run    build and start Velmora from the repository root
#   tools/dev.sh test   build twice (plain, and with AddressSanitizer + UBSan) and run all tests
# Run it as yourself: only the installation of missing Debian packages asks for root (see
# tools/debian-packages.sh); the builds, the tests and the program run as the user who started
# it. As root (CI) everything runs as root.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
case "$mode" in
run | test) ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

# dpkg-dev and file let CPack build the Debian package (cmake --build build --target package);
# the tests check the package with lintian, desktop-file-validate and appstreamcli.
packages=(cmake make g++ qtbase5-dev qtbase5-dev-tools dpkg-dev file)
[ "$mode" = test ] && packages+=(qtbase5-private-dev)
# The installer runs the installation scripts in xterm (the tests use a stand-in for it); its
# default fonts come from xfonts-base, without which it shows no Cyrillic.
[ "$mode" = run ] && packages+=(xterm xfonts-base)
[ "$mode" = test ] && packages+=(shellcheck)
[ "$mode" = test ] && packages+=(unzip)
[ "$mode" = test ] && packages+=(lintian desktop-file-utils appstream)
bash tools/debian-packages.sh "${packages[@]}"

jobs=$(nproc)
build() {
    local dir=$1
    shift
    if [ -e "$dir" ] && ! [ -w "$dir" ]; then
        echo "$dir was built by another user (root?); remove it first: sudo rm -rf $dir" >&2
        exit 1
    fi
    cmake -S . -B "$dir" "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
}

if [ "$mode" = run ]; then
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF
    exec ./build/velmora
fi

build build-test -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON
ctest --test-dir build-test --output-on-failure --parallel "$jobs"
build build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON -DVELMORA_SANITIZE=ON
ctest --test-dir build-asan --output-on-failure --parallel "$jobs"
