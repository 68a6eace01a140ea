#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

install_missing_packages
configure_and_build
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$(nproc)" "$@"
