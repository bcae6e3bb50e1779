#!/usr/bin/env bash
# Installs every Debian package Strikeline needs to build, run and test.
# Idempotent and non-interactive: packages already present are not fetched again.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config ninja-build clang-format
  # program
  qt6-base-dev qt6-webengine-dev qt6-svg-dev libqt6svg6 qt6-charts-dev libgl1-mesa-dri
  libpugixml-dev libcrypto++-dev libcurl4-openssl-dev libxlsxwriter-dev
  libzip-dev zipcmp zipmerge ziptool libcpp-httplib-dev nlohmann-json3-dev xdg-utils
  # the option analytics' root finder (header-only)
  libboost-dev
  # running under a display server, screenshots, fonts
  xvfb xauth fonts-dejavu-core imagemagick python3
  # tests, benchmarks, fuzzing, sanitizers
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev mawk unzip
  # the independent reference the option analytics are checked against
  libquantlib0-dev
  # a second locale and the time-zone rules, so tests prove numbers ignore the
  # user's locale and local times follow the zone
  locales tzdata
  # the Debian package: its dependencies, and checks of its menu entry, metadata, window,
  # manual pages and of the package itself
  dpkg-dev desktop-file-utils appstream x11-utils lintian man-db
  # the desktop's services: a private session bus for the notification tests, the check of
  # the scheduled fetch's units and a real parser of the calendar the program writes
  dbus-daemon systemd python3-icalendar
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# de_DE.UTF-8 is generated once; the locale tests skip themselves without it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
