#!/usr/bin/env bash
# Installs what is missing, builds Nobrelt and starts the window program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/app/nobrelt
