#!/usr/bin/env bash
# The main job: builds Kivoly and shows what it does.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build >/dev/null
build/bin/kivoly settings
