#!/usr/bin/env bash
# The whole demo without a key, as a viewer would watch it.
source "$(dirname "$0")/lib.sh" "$1" "$2"
start_xvfb
prepare_data
run_whole_demo
echo "whole run ok"
