#!/usr/bin/env bash
# ./other: a second working directory with its own small collection and settings;
# the current one has no collection at all.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
mkdir other
cp kvima.t 0.ao dirswe.ctl kvi.ini other/
cd other
. "$here/small_collection.sh"
