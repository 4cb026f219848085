#!/usr/bin/env bash
# Fuzzes the station-list reader, parser and load; the same as
# `scripts/fuzz.sh parser [SECONDS] [extra libFuzzer options...]`.
exec "$(dirname "$0")/fuzz.sh" parser "$@"
