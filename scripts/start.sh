#!/bin/sh
# Builds Kronalo and Stamplet and starts Kronalo.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages $KRONALO_BUILD_PACKAGES

cmake --preset default
cmake --build --preset default
echo "Built into build/bin. Kronalo's window is not there yet: this command will start it once"
echo "the window is built."
