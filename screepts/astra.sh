#!/bin/bash
# Installs the CSP and its browser plug-in on Astra Linux, as root through sudo, in a terminal.
#   astra.sh DIR
# DIR: the unpacked CSP archive, ~/buildcpcsp/linux-amd64_deb/.
exec bash "$(dirname -- "$0")/cspinstall.sh" astra "$@"
