#!/usr/bin/env bash
# Installs those of the given Debian packages that are missing. Only this step needs root: as
# root apt-get runs directly; otherwise through sudo when it is installed, else through su, which
# asks for root's password. DEBIAN_FRONTEND is set inside the root command, since sudo drops it
# from the caller's environment; su runs a login shell so that root's PATH (with /usr/sbin, which
# dpkg needs) is used.
#   tools/debian-packages.sh PACKAGE...
set -euo pipefail

missing=()
for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -gt 0 ] || exit 0

# Our own package names only: the joined list needs no quoting.
install="apt-get update && env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}"
echo "Installing the missing Debian packages: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then
    sh -c "$install"
elif command -v sudo >/dev/null; then
    sudo sh -c "$install"
else
    echo "sudo is not installed: su asks for root's password." >&2
    su --login root -c "$install"
fi
