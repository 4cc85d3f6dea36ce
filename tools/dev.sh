#!/usr/bin/env bash
# Sets up a Debian 12 machine for Velmora, builds it, and then starts it or runs every test.
#   tools/dev.sh run    build and start Velmora from the repository root
#   tools/dev.sh test   build twice (plain, and with AddressSanitizer + UBSan) and run all tests
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

packages=(cmake make g++ qtbase5-dev qtbase5-dev-tools)
[ "$mode" = test ] && packages+=(qtbase5-private-dev)
# The installer runs the installation scripts in xterm (the tests use a stand-in for it); its
# default fonts come from xfonts-base, without which it shows no Cyrillic.
[ "$mode" = run ] && packages+=(xterm xfonts-base)
[ "$mode" = test ] && packages+=(shellcheck)
[ "$mode" = test ] && packages+=(unzip)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
build() {
    local dir=$1
    shift
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
