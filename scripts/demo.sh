#!/usr/bin/env bash
# The demo is what the run command starts.
exec "$(dirname "$0")/run.sh" "$@"
