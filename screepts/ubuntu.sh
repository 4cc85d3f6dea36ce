#!/bin/bash
# Installs the CSP and its browser plug-in on Ubuntu, as root through sudo, in a terminal.
#   ubuntu.sh DIR
# DIR: the unpacked CSP archive, ~/buildcpcsp/linux-amd64_deb/.
exec bash "$(dirname -- "$0")/cspinstall.sh" ubuntu "$@"
