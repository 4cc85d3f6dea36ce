#!/bin/bash
# Installs the CSP and its browser plug-in on Debian, as root through su, in a terminal.
#   debian.sh DIR
# DIR: the unpacked CSP archive, ~/buildcpcsp/linux-amd64_deb/.
exec bash "$(dirname -- "$0")/cspinstall.sh" debian "$@"
