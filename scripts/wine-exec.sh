#!/usr/bin/env bash
# Runs a Windows program under Wine with a time limit: the test emulator of
# the MinGW builds. The Wine prefix and display come from the environment
# (scripts/wine-session.sh sets them up).
exec timeout --kill-after=5 "${SONAREL_WINE_TIMEOUT:-300}" wine "$@"
