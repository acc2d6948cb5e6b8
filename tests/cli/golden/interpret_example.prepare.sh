#!/usr/bin/env bash
# The shipped natal collection from the built working directory.
#   interpret_example.prepare.sh BUILT_WORKDIR
set -eu
cp "$1"/kvinat.csr "$1"/kvn_*.csr .
