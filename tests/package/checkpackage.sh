#!/bin/bash
# Builds the Debian package from a configured build directory and checks what a user installs:
# the file list, the permissions of the launcher, the program and every script, the package's
# dependencies, the launcher started from another directory, the version in the program, the
# changelog and the metainfo, and the verdicts of desktop-file-validate, appstreamcli and lintian.
#   checkpackage.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail

build=$1
source=$2
version=$3

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli lintian; do
    command -v "$tool" >/dev/null || {
        echo "FAIL: $tool is not installed (tools/dev.sh test installs it)" >&2
        exit 1
    }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
}
deb=$work/out/velmora_${version}_amd64.deb
[ -f "$deb" ] || {
    ls "$work/out" >&2
    echo "FAIL: no $deb" >&2
    exit 1
}

# Mode and path of every file in the package, e.g. "-rwxr-xr-x ./usr/bin/velmora".
dpkg-deb -c "$deb" | awk '{ print $1, $6 }' >"$work/files"
expect() {
    grep -qxF -- "$1 $2" "$work/files" || fail "the package has no $2 with mode $1"
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

root=$work/root
dpkg-deb -x "$deb" "$root"

# Started from another directory, the launcher finds the program...
shown=$(cd / && env -u DISPLAY "$root/usr/bin/velmora" --version 2>&1) || fail "velmora --version failed: $shown"
[ "$shown" = "velmora $version" ] || fail "velmora --version printed '$shown', not 'velmora $version'"
# ...and starts it in the data directory with the arguments unchanged.
cp "$root/usr/libexec/velmora/velmora" "$work/program"
cat >"$root/usr/libexec/velmora/velmora" <<'EOF'
#!/bin/sh
pwd
printf '[%s]\n' "$@"
EOF
shown=$(cd / && "$root/usr/bin/velmora" 'a "b" c' '' -x)
wanted=$(printf '%s\n' "$root/usr/share/velmora" '[a "b" c]' '[]' '[-x]')
[ "$shown" = "$wanted" ] || fail "the launcher started the program as
$shown
instead of
$wanted"
[ -x "$root/usr/share/velmora/screepts/copykey.sh" ] || fail "copykey.sh is not executable"
cp "$work/program" "$root/usr/libexec/velmora/velmora"

# The release in the changelog and the metainfo is the one the program reports.
changelog_version=$(zcat "$root/usr/share/doc/velmora/changelog.gz" | sed -n '1s/^velmora (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] || fail "the changelog's last entry is $changelog_version, not $version"
metainfo=$root/usr/share/metainfo/ru.velmora.Velmora.metainfo.xml
metainfo_version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$metainfo_version" = "$version" ] || fail "the metainfo's last release is $metainfo_version, not $version"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the metainfo names no GPL-3.0-or-later"

# The menu entry starts the launcher and shows the installed icon; the metainfo names the entry.
desktop=$root/usr/share/applications/ru.velmora.Velmora.desktop
grep -qx 'Exec=velmora' "$desktop" || fail "the desktop entry does not start velmora"
grep -qx 'Icon=velmora' "$desktop" || fail "the desktop entry does not name the icon velmora"
grep -q '<launchable type="desktop-id">ru.velmora.Velmora.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not name the desktop entry"

desktop-file-validate "$root/usr/share/applications/ru.velmora.Velmora.desktop" ||
    fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
# Errors fail; warnings are shown.
lintian --fail-on error --display-level '>=warning' "$deb" >"$work/lintian" 2>&1 || fail "lintian reports errors"
grep -v '^running with root privileges' "$work/lintian" || true

if [ "$failures" -gt 0 ]; then
    echo "$failures failed" >&2
    exit 1
fi
echo "the package velmora_${version}_amd64.deb is complete"
