#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test inside the
# simulated terminal.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-prerequisites
cmake --preset terminal
cmake --build --preset terminal
trap 'tools/terminal stop' EXIT
tools/terminal prepare
ctest --preset terminal
