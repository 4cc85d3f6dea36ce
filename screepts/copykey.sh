#!/bin/sh
# Copies a key container with the CSP's csptest.
#   copykey.sh SOURCE TARGET
# SOURCE and TARGET are fully qualified container names (\\.\STORE\NAME); they contain
# backslashes and often blanks, so they are passed on exactly as received. Prints what csptest
# printed and exits with its exit code.
#
# VELMORA_CSP_BIN_DIR exists for the tests only, which point it at a stand-in for csptest.

if [ "$#" -ne 2 ]; then
    echo "usage: $0 SOURCE TARGET" >&2
    exit 2
fi

csp_dir=${VELMORA_CSP_BIN_DIR:-/opt/cprocsp/bin/amd64}

exec "${csp_dir%/}/csptest" -keycopy -contsrc "$1" -contdest "$2"
