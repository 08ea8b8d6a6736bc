#!/usr/bin/env bash
# Runs a command on a private Xvfb, with the desktop tests' settings.
source "$(dirname "$0")/desktop_session.sh"
"$@"
