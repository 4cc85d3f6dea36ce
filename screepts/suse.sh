#!/bin/bash
# Installs the CSP and its browser plug-in on SUSE, as root through sudo, in a terminal.
#   suse.sh DIR
# DIR: the work directory ~/buildcpcsp/ itself; the CSP is in its linux-amd64/.
exec bash "$(dirname -- "$0")/cspinstall.sh" suse "$@"
