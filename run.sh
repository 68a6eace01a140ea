#!/usr/bin/env bash
# Usage: ./run.sh <program> [arguments...]
# Installs what is missing, builds everything and starts the program.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

if [ $# -lt 1 ]; then
  echo "usage: $0 <program> [arguments...]" >&2
  exit 2
fi
program="$1"
shift

install_missing_packages
configure_and_build

binary="$(find "$BUILD_DIR" -type f -executable -name "$program" -not -path '*/CMakeFiles/*' | head -n 1)"
if [ -z "$binary" ]; then
  echo "error: no program named '$program' has been built" >&2
  exit 1
fi
exec "$binary" "$@"
