#!/usr/bin/env bash
# Sets up a Debian 12 machine for Velmora, builds it, and then starts it or runs every test.
#   tools/dev.sh run              build and start Velmora from the repository root
#   tools/dev.sh test             build three times (plain with Qt 5, plain with Qt 6, and with
#                                 AddressSanitizer + UBSan and the fuzz targets) and run all tests
#   tools/dev.sh fuzz [SECONDS]   build the fuzz targets with clang and run each for SECONDS
#                                 (60 by default; FUZZ_RUNS=N also stops each after N inputs)
#   tools/dev.sh soak             the window against the stand-in utilities, 1000 rounds of list,
#                                 table and form work under AddressSanitizer with leak checking
#   tools/dev.sh bench            an optimised build of the benchmark, and its figures
# Run it as yourself: only the installation of missing Debian packages asks for root (see
# tools/debian-packages.sh); the builds, the tests and the program run as the user who started
# it. As root (CI) everything runs as root, and test runs the plain build's suites a second time as
# a throwaway ordinary user, whom file permissions bind as they bind the program's users.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
case "$mode" in
run | test | soak | bench) ;;
fuzz)
    seconds=${2:-60}
    [[ "$seconds" =~ ^[0-9]+$ ]] || {
        echo "usage: $0 fuzz [SECONDS]" >&2
        exit 2
    }
    ;;
*)
    echo "usage: $0 run|test|fuzz [SECONDS]|soak|bench" >&2
    exit 2
    ;;
esac

# dpkg-dev and file let CPack build the Debian package, rpm the RPM package (cmake --build build
# --target package); the tests check them with lintian, rpmlint, desktop-file-validate and
# appstreamcli, and install the RPM package into a scratch root. The sanitized build of test
# builds and runs the fuzz targets with clang.
packages=(cmake make g++ qtbase5-dev qtbase5-dev-tools dpkg-dev file rpm ccache)
[ "$mode" != run ] && packages+=(qtbase5-private-dev)
[[ "$mode" = fuzz || "$mode" = test ]] && packages+=(clang libclang-rt-14-dev)
# The installer runs the installation scripts in xterm (the tests use a stand-in for it); its
# default fonts come from xfonts-base, without which it shows no Cyrillic.
[ "$mode" = run ] && packages+=(xterm xfonts-base)
[ "$mode" = test ] && packages+=(shellcheck)
# The plain suites run with Qt 6 as well (the packages are made from the Qt 5 build).
[ "$mode" = test ] && packages+=(qt6-base-dev qt6-base-private-dev qt6-translations-l10n)
# Qt's own Russian texts: standard buttons, file dialogs (the tests check one button).
[[ "$mode" = run || "$mode" = test ]] && packages+=(qttranslations5-l10n)
[ "$mode" = test ] && packages+=(unzip)
[ "$mode" = test ] && packages+=(lintian desktop-file-utils appstream rpmlint)
bash tools/debian-packages.sh "${packages[@]}"

# Compiled objects are shared between builds and clones: paths are taken relative to the
# checkout, so a fresh clone of the same sources compiles nothing twice.
# The precompiled Qt headers are cached too: their macros and time stamps do not change the
# objects made with them.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=pch_defines,time_macros
# On a miss ccache takes the headers from the compiler's dependency file instead of running the
# preprocessor first, and hashes each header (the precompiled ones are 96 to 153 MB) once, not
# once a unit: a build with an empty cache took 75 s instead of 90 s (70 s without ccache).
export CCACHE_DEPEND=1 CCACHE_INODECACHE=1
jobs=$(nproc)
# build DIR [TARGET] [CMAKE OPTION...]: configures DIR and builds TARGET there, or everything.
build() {
    local dir=$1 target=()
    shift
    if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
        target=(--target "$1")
        shift
    fi
    if [ -e "$dir" ] && ! [ -w "$dir" ]; then
        echo "$dir was built by another user (root?); remove it first: sudo rm -rf $dir" >&2
        exit 1
    fi
    cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@" >/dev/null || return
    nice -n "$build_niceness" cmake --build "$dir" --parallel "$jobs" "${target[@]}"
}
# Raised while suites run beside a build, so that they get the cores whenever they need them.
build_niceness=0

# The plain suites mostly wait for stand-ins and timers, so twice as many run as there are cores;
# the sanitized ones keep the cores busy and run one a core.
test_jobs=$((jobs * 2))
# run_tests TEST_DIR [COMMAND...]: runs the suites listed in TEST_DIR (through COMMAND, which runs
# CTest as another user) and names each test or table row that was skipped, with its reason:
# CTest shows the output of failed tests only.
run_tests() {
    local dir=$1 status=0
    shift
    "$@" ctest --test-dir "$dir" --output-on-failure --parallel "$test_jobs" || status=$?
    grep -h '^SKIP' "$dir/Testing/Temporary/LastTest.log" || true
    return "$status"
}

# ordinary_pass DIR: as root, runs the suites of the build in DIR once more as an ordinary user,
# whom file permissions bind as they bind the program's users: a throwaway system user (created
# for the pass when missing, removed after it), with HOME, TMPDIR and its runtime directory in a
# fresh directory of its own, and, for the tests that need one, a directory of another user
# (root) that every user can write, holding a request log of that user that every user can write.
ordinary_user=velmora-tests
ordinary_created=0
ordinary_scratch=
ordinary_passable=()
# Every step is taken even when one before it fails; the status says whether all of them worked.
ordinary_cleanup() {
    local status=0
    if [ ${#ordinary_passable[@]} -gt 0 ]; then
        chmod o-x "${ordinary_passable[@]}" || status=1
        ordinary_passable=()
    fi
    if [ -n "$ordinary_scratch" ]; then
        rm -rf "$ordinary_scratch" || status=1
        ordinary_scratch=
    fi
    if [ "$ordinary_created" = 1 ]; then
        userdel "$ordinary_user" || status=1
        ordinary_created=0
    fi
    return "$status"
}
ordinary_pass() {
    local dir=$1 path=$PWD scratch status=0
    # Interrupted, it still cleans up on the way out.
    trap ordinary_cleanup EXIT
    if ! id -u "$ordinary_user" >/dev/null 2>&1; then
        useradd --system --user-group --no-create-home --home-dir /nonexistent \
            --shell /usr/sbin/nologin "$ordinary_user"
        ordinary_created=1
    fi
    scratch=$(mktemp -d)
    ordinary_scratch=$scratch
    # The sources and the build tree must be reachable: directories above them that the user
    # cannot pass get o+x for the pass.
    while [ "$path" != / ]; do
        # Only directories without o+x of their own get it (and lose it again afterwards): one
        # that merely lies under a closed one keeps its mode.
        if [ -z "$(find "$path" -maxdepth 0 -perm -o=x)" ]; then
            runuser -u "$ordinary_user" -- test -x "$path" || ordinary_passable+=("$path")
        fi
        path=$(dirname "$path")
    done
    if [ ${#ordinary_passable[@]} -gt 0 ]; then
        echo "For the pass as $ordinary_user, o+x for the time of the pass: ${ordinary_passable[*]}" >&2
        chmod o+x "${ordinary_passable[@]}"
    fi
    chmod 0755 "$scratch"
    install -d -m 0700 -o "$ordinary_user" -g "$ordinary_user" "$scratch/home" "$scratch/tmp" \
        "$scratch/run" "$scratch/ctest"
    install -d -m 0777 "$scratch/foreign"
    printf "someone else's" >"$scratch/foreign/genreg.log"
    chmod 0666 "$scratch/foreign/genreg.log"
    # CTest keeps its records beside the test list it reads: a list of its own, pointing at the
    # build, so the build tree stays root's.
    echo "subdirs(\"$PWD/$dir\")" >"$scratch/ctest/CTestTestfile.cmake"
    echo "== The suites once more as the ordinary user $ordinary_user"
    # Cleaned up right after the pass, whether it passed or not, before anything else runs.
    run_tests "$scratch/ctest" runuser -u "$ordinary_user" -- env HOME="$scratch/home" \
        TMPDIR="$scratch/tmp" XDG_RUNTIME_DIR="$scratch/run" \
        VELMORA_FOREIGN_DIR="$scratch/foreign" || status=$?
    ordinary_cleanup || {
        echo "Cleaning up after the pass as $ordinary_user failed" >&2
        [ "$status" != 0 ] || status=1
    }
    trap - EXIT
    return "$status"
}

# suites_behind DIR [ordinary]: runs the suites of DIR (with "ordinary", as root, once more as the
# ordinary user) beside what follows, their output held back until background_shown waits for
# them, shows it and returns their status.
background=
background_log=
suites_behind() {
    background_log=$(mktemp)
    (
        echo "== The suites of $1"
        run_tests "$1"
        if [ "${2:-}" = ordinary ] && [ "$(id -u)" = 0 ]; then
            ordinary_pass "$1"
        fi
    ) >"$background_log" 2>&1 &
    background=$!
}
background_shown() {
    local status=0
    wait "$background" || status=$?
    cat "$background_log"
    rm -f "$background_log"
    return "$status"
}
# A build beside it failed: what ran in the background is still shown before the script ends.
background_failed() {
    local status=$?
    background_shown || true
    exit "$status"
}

case "$mode" in
run)
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF
    exec ./build/velmora
    ;;
test)
    # The test builds link with gold, which links the suites' debug builds faster than the
    # default linker. The Qt 6 and sanitized passes keep line tables only (a backtrace still names
    # file and line), which compile and link faster than full debug data.
    gold=-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold
    lines=-DCMAKE_CXX_FLAGS_DEBUG=-g1
    build build-test -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON "$gold"
    # The plain suites mostly wait for stand-ins and timers, so each build after the first
    # compiles while the suites of the one before it run; their output is shown when they end.
    build_niceness=10
    suites_behind build-test ordinary
    # The benchmark and the screenshot tool are built once, in the plain Qt 5 build; the others
    # build what their suites run.
    build build-qt6 -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON -DVELMORA_QT=6 -DVELMORA_EXTRAS=OFF \
        "$gold" "$lines" || background_failed
    background_shown
    suites_behind build-qt6
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON -DVELMORA_SANITIZE=ON \
        -DVELMORA_FUZZ=ON -DVELMORA_EXTRAS=OFF "$gold" "$lines" || background_failed
    background_shown
    test_jobs=$jobs
    run_tests build-asan
    ;;
fuzz)
    cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
        >/dev/null
    cmake --build build-fuzz --parallel "$jobs"
    # New inputs collect in build-fuzz/corpus/ and are fuzzed on from there next time; a crash
    # is saved in build-fuzz/artifacts/ and ends the run.
    mkdir -p build-fuzz/artifacts
    for target in build-fuzz/fuzz_*; do
        if [ ! -f "$target" ] || [ ! -x "$target" ]; then continue; fi
        name=$(basename "$target")
        mkdir -p "build-fuzz/corpus/$name"
        echo "== $name: ${seconds} s${FUZZ_RUNS:+ or $FUZZ_RUNS inputs}"
        "$target" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" -print_final_stats=1 \
            -artifact_prefix=build-fuzz/artifacts/ "build-fuzz/corpus/$name" "fuzz/corpus/${name#fuzz_}"
    done
    ;;
soak)
    build build-asan velmora_soak -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_EXTRAS=ON
    # A small quarantine (the freed memory AddressSanitizer holds back to catch late uses):
    # the default 256 MiB would fill up during the run and hide any real growth.
    QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME='' LC_ALL=C.UTF-8 TZ=UTC \
        LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
        ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ./build-asan/bench/velmora_soak
    ;;
bench)
    build build-bench velmora_bench -DCMAKE_BUILD_TYPE=Release
    QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME='' LC_ALL=C.UTF-8 TZ=UTC \
        ./build-bench/bench/velmora_bench
    ;;
esac
