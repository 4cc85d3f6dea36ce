#!/bin/bash
# Builds the Debian and the RPM package from a configured build directory and checks what a user
# installs: the file list, the permissions of the launcher, the program and every script, the
# packages' dependencies, the launcher started from another directory, the version in the
# program, the changelog and the metainfo, the verdicts of desktop-file-validate, appstreamcli,
# lintian and rpmlint, and that the RPM package installs the same files in the same places.
#   checkpackage.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail

build=$1
source=$2
version=$3

# CPack builds in the build tree, which in tools/dev.sh's pass as an ordinary user is root's.
if ! [ -w "$build" ]; then
    echo "SKIP: $(id -un) cannot write the build tree $build: the packages are built and checked by the user who built it"
    exit 77
fi

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli lintian rpm \
    rpmbuild rpmlint; do
    command -v "$tool" >/dev/null || {
        echo "FAIL: $tool is not installed (tools/dev.sh test installs it)" >&2
        exit 1
    }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Both at once, each in a directory of its own.
for generator in DEB RPM; do
    cpack --config "$build/CPackConfig.cmake" -G "$generator" -B "$work/$generator" \
        >"$work/cpack-$generator.log" 2>&1 &
done
for _ in DEB RPM; do
    wait -n || {
        cat "$work"/cpack-*.log >&2
        echo "FAIL: cpack could not build the packages" >&2
        exit 1
    }
done
deb=$work/DEB/velmora_${version}_amd64.deb
rpm=$work/RPM/velmora-${version}-1.x86_64.rpm
for package in "$deb" "$rpm"; do
    [ -f "$package" ] || {
        ls "$work"/DEB "$work"/RPM >&2
        echo "FAIL: no $package" >&2
        exit 1
    }
done

# The linters take the longest: they look at the packages while the rest is checked.
lintian --fail-on error --display-level '>=warning' "$deb" >"$work/lintian" 2>&1 &
lintian_pid=$!
rpmlint --config "$source/tests/package/rpmlint.toml" "$rpm" >"$work/rpmlint" 2>&1 &
rpmlint_pid=$!

# Mode and path of every file in each package, e.g. "-rwxr-xr-x ./usr/bin/velmora".
dpkg-deb -c "$deb" | awk '{ print $1, $6 }' >"$work/files.deb"
rpm -qp --qf '[%{FILEMODES:perms} .%{FILENAMES}\n]' "$rpm" >"$work/files.rpm"
expect() {
    for list in "$work"/files.*; do
        grep -qxF -- "$1 $2" "$list" || fail "${list##*.}: the package has no $2 with mode $1"
    done
}
expect -rwxr-xr-x ./usr/bin/velmora
expect -rwxr-xr-x ./usr/libexec/velmora/velmora
expect -rw-r--r-- ./usr/share/velmora/icon.png
expect -rw-r--r-- ./usr/share/applications/ru.velmora.Velmora.desktop
expect -rw-r--r-- ./usr/share/metainfo/ru.velmora.Velmora.metainfo.xml
expect -rw-r--r-- ./usr/share/icons/hicolor/64x64/apps/velmora.png
expect -rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/velmora.svg
expect -rw-r--r-- ./usr/share/man/man1/velmora.1.gz
expect -rw-r--r-- ./usr/share/man/ru/man1/velmora.1.gz
expect -rw-r--r-- ./usr/share/doc/velmora/copyright
expect -rw-r--r-- ./usr/share/doc/velmora/changelog.gz
scripts=0
for script in "$source"/screepts/*.sh; do
    expect -rwxr-xr-x "./usr/share/velmora/screepts/$(basename "$script")"
    scripts=$((scripts + 1))
done
[ "$scripts" -gt 0 ] || fail "no script found in $source/screepts"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in xterm qttranslations5-l10n libqt5widgets5 libqt5core5a; do
    [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
        fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = xfonts-base ] || fail "Recommends is not xfonts-base"
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "Section is not utils"

# The libraries' requirements come from rpmbuild, xterm by name.
requires=$(rpm -qp --requires "$rpm")
for needed in xterm 'libQt5Widgets.so.5()(64bit)' 'libQt5Core.so.5()(64bit)'; do
    grep -qxF "$needed" <<<"$requires" || fail "the RPM package does not require $needed: $requires"
done
described=$(rpm -qp --qf '%{LICENSE}|%{GROUP}|%{URL}|%{SUMMARY}' "$rpm")
[ "$described" = 'GPL-3.0-or-later|Applications/System|https://velmora.ru|Graphical front end for the CSP command-line utilities' ] ||
    fail "the RPM package's licence, group, URL or summary: $described"

# An installed tree: the launcher, the program, the data and the menu entry where they belong.
# Prints every file with its mode, to compare the trees the two packages install.
check_installed() {
    local root=$1 shown wanted
    # Started from another directory, the launcher finds the program...
    shown=$(cd / && env -u DISPLAY "$root/usr/bin/velmora" --version 2>&1) || fail "$root: velmora --version failed: $shown"
    [ "$shown" = "velmora $version" ] || fail "$root: velmora --version printed '$shown', not 'velmora $version'"
    # ...and starts it in the data directory with the arguments unchanged.
    cp "$root/usr/libexec/velmora/velmora" "$work/program"
    printf '#!/bin/sh\npwd\nprintf "[%%s]\\n" "$@"\n' >"$root/usr/libexec/velmora/velmora"
    shown=$(cd / && "$root/usr/bin/velmora" 'a "b" c' '' -x)
    wanted=$(printf '%s\n' "$root/usr/share/velmora" '[a "b" c]' '[]' '[-x]')
    [ "$shown" = "$wanted" ] || fail "the launcher started the program as
$shown
instead of
$wanted"
    cp "$work/program" "$root/usr/libexec/velmora/velmora"
    [ -x "$root/usr/share/velmora/screepts/copykey.sh" ] || fail "$root: copykey.sh is not executable"

    # The release in the changelog and the metainfo is the one the program reports.
    local changelog_version metainfo metainfo_version desktop
    changelog_version=$(zcat "$root/usr/share/doc/velmora/changelog.gz" | sed -n '1s/^velmora (\([^)]*\)).*/\1/p')
    [ "$changelog_version" = "$version" ] || fail "$root: the changelog's last entry is $changelog_version, not $version"
    metainfo=$root/usr/share/metainfo/ru.velmora.Velmora.metainfo.xml
    metainfo_version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
    [ "$metainfo_version" = "$version" ] || fail "$root: the metainfo's last release is $metainfo_version, not $version"
    grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "$root: the metainfo names no GPL-3.0-or-later"

    # The menu entry starts the launcher and shows the installed icon; the metainfo names the entry.
    desktop=$root/usr/share/applications/ru.velmora.Velmora.desktop
    grep -qx 'Exec=velmora' "$desktop" || fail "$root: the desktop entry does not start velmora"
    grep -qx 'Icon=velmora' "$desktop" || fail "$root: the desktop entry does not name the icon velmora"
    grep -q '<launchable type="desktop-id">ru.velmora.Velmora.desktop</launchable>' "$metainfo" ||
        fail "$root: the metainfo does not name the desktop entry"
    (cd "$root" && find usr -type f -printf '%m %p\n' | sort)
}

root=$work/root
dpkg-deb -x "$deb" "$root"
check_installed "$root" >"$work/tree.deb"
# The RPM package as rpm installs it, into a scratch root.
rpmroot=$work/rpmroot
if rpm --root "$rpmroot" --nodeps -i "$rpm"; then
    check_installed "$rpmroot" >"$work/tree.rpm"
    diff "$work/tree.deb" "$work/tree.rpm" || fail "the RPM package installs other files than the Debian one (<: Debian, >: RPM)"
else
    fail "rpm could not install the package into $rpmroot"
fi

desktop-file-validate "$root/usr/share/applications/ru.velmora.Velmora.desktop" ||
    fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/ru.velmora.Velmora.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo"
# Errors fail; warnings are shown.
wait "$lintian_pid" || fail "lintian reports errors"
grep -v '^running with root privileges' "$work/lintian" || true
wait "$rpmlint_pid" || fail "rpmlint reports errors"
cat "$work/rpmlint"

if [ "$failures" -gt 0 ]; then
    echo "$failures failed" >&2
    exit 1
fi
echo "the packages velmora_${version}_amd64.deb and velmora-${version}-1.x86_64.rpm are complete"
