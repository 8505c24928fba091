#!/usr/bin/env bash
# Installs what is missing, builds the tool natively and runs it once for
# the current user.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/setup.sh
cmake --preset linux
cmake --build --preset linux --target tarn-cleanup
status=0
build/linux/driver/tarn-cleanup || status=$?
echo "tarn-cleanup finished with exit status $status"
exit "$status"
