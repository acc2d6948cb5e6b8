#!/usr/bin/env bash
# A small collection of two files and the settings that pick, justify and break it.
. "$(dirname "$0")/small_collection.sh"
