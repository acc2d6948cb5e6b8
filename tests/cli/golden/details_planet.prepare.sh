#!/usr/bin/env bash
# The shipped details collection from the built working directory.
#   details_planet.prepare.sh BUILT_WORKDIR
set -eu
cp "$1"/zdp.csr "$1"/zdp_*.csr .
