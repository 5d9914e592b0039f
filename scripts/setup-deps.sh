#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the system needs.
# Safe to run repeatedly; does nothing when all packages are already present.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake pkg-config
  qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n libqt5svg5-dev
  libcups2-dev libcurl4-openssl-dev libssl-dev libjsoncpp-dev libqpdf-dev uuid-dev
  libspdlog-dev libgtest-dev googletest
  # running system
  cups cups-client cups-bsd cups-ipp-utils cups-filters snmp snmpd ghostscript qpdf tar
  # test peers and desktop
  xvfb trayer x11-apps imagemagick dbus avahi-daemon iproute2 nftables procps psmisc
  python3 python3-cryptography openssl netcat-openbsd poppler-utils time
  librsvg2-bin fonts-wqy-microhei xdotool openbox x11-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Services must not start by themselves inside a container; the tests start what they need.
if [ ! -e /usr/sbin/policy-rc.d ]; then
  printf '#!/bin/sh\nexit 101\n' > /usr/sbin/policy-rc.d
  chmod 755 /usr/sbin/policy-rc.d
  trap 'rm -f /usr/sbin/policy-rc.d' EXIT
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
