#!/usr/bin/env bash
# Runs the whole system on its built-in demo office (as root, on a fresh Debian 12
# machine too): installs what is needed, builds, installs the package, starts what
# is not running, registers two simulated printers and prints to each.
#   scripts/run.sh         start the demo (stops a previous one first)
#   scripts/run.sh stop    stop it and remove everything it started
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = stop ]; then
  exec /usr/bin/python3 scripts/demo.py down
fi
bash scripts/setup-deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_BUILD_TESTS=OFF >/dev/null
cmake --build build-run -j"$(nproc)"
rm -f build-run/com.kestrelware.tavrin_*.deb
(cd build-run && cpack -G DEB >/dev/null)
dpkg -i build-run/com.kestrelware.tavrin_*.deb >/dev/null
echo "installed: $(dpkg-query -W -f='${Package} ${Version}' com.kestrelware.tavrin)"
exec /usr/bin/python3 scripts/demo.py up --build build-run
