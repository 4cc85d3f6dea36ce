#!/bin/bash
# Installs the CSP and its browser plug-in on RPM-based systems (dnf or yum), as root through sudo, in a terminal.
#   rpmbase.sh DIR
# DIR: the unpacked CSP archive, ~/buildcpcsp/linux-amd64/.
exec bash "$(dirname -- "$0")/cspinstall.sh" rpmbase "$@"
