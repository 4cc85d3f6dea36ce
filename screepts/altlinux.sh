#!/bin/bash
# Installs the CSP and its browser plug-in on Alt Linux, as root through su, in a terminal.
#   altlinux.sh DIR
# DIR: the unpacked CSP archive, ~/buildcpcsp/linux-amd64/.
exec bash "$(dirname -- "$0")/cspinstall.sh" altlinux "$@"
