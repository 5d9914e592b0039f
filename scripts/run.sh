#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds and installs the system.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
cmake --install build
echo "installed: /usr/lib/cups/backend/tavrin and /opt/apps/com.kestrelware.tavrin/files"
