#!/usr/bin/env bash
# Installs what is missing, builds Nobrelt and starts the window program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -x build/app/nobrelt ]; then
  exec build/app/nobrelt
fi
echo "Built the engine; the window program is not part of this tree yet."
