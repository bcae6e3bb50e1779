#!/usr/bin/env bash
# Builds the Debian package of the desktop program, installs it as a user would, checks its
# menu entry, icons and software-centre metadata, starts the installed program, quits it as
# the desktop does at logout (SIGTERM) and checks what it wrote, then removes the package.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash scripts/install-deps.sh

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

fail() {
  echo "package-test: $*" >&2
  exit 1
}

app_id=au.com.varnel.Strikeline
icon_sizes=(16 22 24 32 48 64 128 256 512)

# Only what the package holds is built: a Release build of the programs and their modules,
# the icons, the manual pages and the changelog; and the sample market and local feed that
# the installed headless command fetches from.
build="build-package"
modules=(strikeline-http strikeline-office strikeline-cipher strikeline-charts strikeline-notify)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTRIKELINE_BUILD_TESTS=OFF \
  -DSTRIKELINE_BUILD_BENCH=OFF > /dev/null
cmake --build "$build" -j2 --target strikeline strikeline-cli "${modules[@]}" strikeline_icons \
  strikeline_man_pages strikeline_changelog strikeline-market strikeline-feed
rm -f "$build"/strikeline_*.deb
if ! (cd "$build" && cpack -G DEB > cpack.log 2>&1); then
  cat "$build/cpack.log"
  fail "cpack failed"
fi
debs=("$build"/strikeline_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  fail "cpack made no single strikeline .deb"
fi
deb="$PWD/${debs[0]}"

# The version is the About box's everywhere: package, metadata and --version.
version=$(dpkg-deb -f "$deb" Version)
about_version=$(sed -n 's/.*kVersion = "\([^"]*\)".*/\1/p' gui/app/AboutDlg.cpp)
[ -n "$about_version" ] || fail "no version found in the About box's source"
[ "$version" = "$about_version" ] || fail "package version $version, About box $about_version"
# The dependencies come from the libraries the programs link (dpkg-shlibdeps).
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6webenginewidgets6 libqt6charts6 libcurl4 libzip4 libxlsxwriter4 libcrypto++8; do
  grep -Eq "(^|, )${lib//+/\\+}( |,|$)" <<< "$depends" || fail "Depends lacks $lib: $depends"
done

tmp=$(mktemp -d)
pid=""
installed_before=no
dpkg-query -W -f='${Status}' strikeline 2> /dev/null | grep -q 'install ok installed' &&
  installed_before=yes
installed=no
# The machine is left as found: a package that was there before the run stays (now this
# build); the one this run installed goes, whether the run passed or not.
remove_package() {
  if [ "$installed" = yes ] && [ "$installed_before" = no ]; then
    installed=no
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q strikeline \
      > "$tmp/remove.log" 2>&1 || { cat "$tmp/remove.log"; return 1; }
  fi
}
feed_pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2> /dev/null; then
    kill -KILL "$pid" 2> /dev/null || true
  fi
  if [ -n "$feed_pid" ]; then
    kill "$feed_pid" 2> /dev/null || true
    wait "$feed_pid" 2> /dev/null || true
  fi
  remove_package || echo "package-test: could not remove strikeline" >&2
  rm -rf "$tmp"
}
trap cleanup EXIT

# Debian's own checks: errors and warnings fail the test; what lintian only notes is shown.
lintian --tag-display-limit 0 --fail-on error,warning -EI "$deb" > "$tmp/lintian.log" 2>&1 ||
  { cat "$tmp/lintian.log"; fail "lintian reports errors or warnings"; }
grep '^[IP]: ' "$tmp/lintian.log" | sed 's/^/package-test: lintian notes /' || true
lintian_notes=$(grep -c '^[IP]: ' "$tmp/lintian.log" || true)

# The changelog's newest entry is this version.
changelog_version=$(sed -n '1s/^strikeline (\([^)]*\)).*/\1/p' packaging/changelog)
[ "$changelog_version" = "$version" ] || fail "newest changelog entry is '$changelog_version', package $version"

# The metadata and the menu entry belong together: checked in the package's own file tree.
dpkg-deb -x "$deb" "$tmp/root"
appstreamcli validate-tree --no-net "$tmp/root" > "$tmp/validate-tree.log" 2>&1 ||
  { cat "$tmp/validate-tree.log"; fail "appstreamcli validate-tree failed"; }

installed=yes
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall "$deb" > "$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log"; fail "apt-get could not install $deb"; }
dpkg-query -W -f='${Status} ${Version}' strikeline | grep -qx "install ok installed $version" ||
  fail "strikeline $version is not installed after apt-get install"

desktop=/usr/share/applications/$app_id.desktop
metainfo=/usr/share/metainfo/$app_id.metainfo.xml
for file in /usr/bin/strikeline /usr/bin/strikeline-cli "$desktop" "$metainfo"; do
  [ -f "$file" ] || fail "$file is not installed"
done
# The browser module lies in the program's private library folder, and only it links the
# web engine: the program loads it when the first trend chart opens.
web_page=$(dpkg -L strikeline | grep '/lib/.*strikeline/strikeline-web-page\.so$' || true)
[ -n "$web_page" ] && [ -f "$web_page" ] || fail "the browser module is not installed"
readelf -d "$web_page" | grep -q 'NEEDED.*WebEngine' || fail "$web_page does not link the web engine"
if readelf -d /usr/bin/strikeline | grep -q 'NEEDED.*WebEngine'; then
  fail "/usr/bin/strikeline links the web engine; only its browser module should"
fi
# The HTTP client, the office writers and the cipher are modules beside it, and only they
# link their libraries: neither program maps those at its start.
for module in strikeline-http:libcurl strikeline-office:libxlsxwriter strikeline-office:libzip \
  strikeline-cipher:libcrypto++; do
  file=$(dirname "$web_page")/${module%%:*}.so library=${module#*:}
  [ -f "$file" ] || fail "$file is not installed beside the browser module"
  readelf -d "$file" | grep -qF "[$library." || fail "$file does not link $library"
  for program in /usr/bin/strikeline /usr/bin/strikeline-cli; do
    if readelf -d "$program" | grep -qF "[$library."; then
      fail "$program links $library; only ${module%%:*}.so should"
    fi
  done
done
# The headless fetch tells the desktop through a module of its own too: strikeline-cli maps
# neither Qt nor the bus library at its start.
notify=$(dirname "$web_page")/strikeline-notify.so
[ -f "$notify" ] || fail "$notify is not installed beside the browser module"
readelf -d "$notify" | grep -qF "[libQt6DBus." || fail "$notify does not link libQt6DBus"
if readelf -d /usr/bin/strikeline-cli | grep -Eq '\[lib(Qt6|dbus-1)'; then
  fail "/usr/bin/strikeline-cli links Qt or the bus library; only $(basename "$notify") should"
fi
# The charts module lies there too and is the only installed file that links Qt Charts: the
# program loads it when the first chart is drawn.
charts=$(dirname "$web_page")/strikeline-charts.so
[ -f "$charts" ] || fail "$charts is not installed beside the browser module"
readelf -d "$charts" | grep -qF "[libQt6Charts." || fail "$charts does not link libQt6Charts"
while IFS= read -r file; do
  [ -f "$file" ] && [ ! -L "$file" ] && [ "$file" != "$charts" ] || continue
  if readelf -d "$file" 2> /dev/null | grep -qF "[libQt6Charts."; then
    fail "$file links libQt6Charts; only $(basename "$charts") should"
  fi
done < <(dpkg -L strikeline)
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net "$metainfo" > "$tmp/validate.log" 2>&1 ||
  { cat "$tmp/validate.log"; fail "appstreamcli rejects $metainfo"; }
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$release" = "$version" ] || fail "newest release in the metadata is '$release', package $version"

desktop_key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
exec_command=$(desktop_key Exec)
[ "$(command -v "${exec_command%% *}")" = /usr/bin/strikeline ] ||
  fail "the menu entry runs '$exec_command', not the installed program"
# So do the entry's actions (Call Report, Trading Plan, Fetch Now), with options it takes.
while IFS= read -r action; do
  [ "$(command -v "${action%% *}")" = /usr/bin/strikeline ] ||
    fail "a menu entry action runs '$action', not the installed program"
done < <(sed -n 's/^Exec=//p' "$desktop" | tail -n +2)
[ "$(sed -n 's/^Exec=//p' "$desktop" | wc -l)" -eq 4 ] || fail "the menu entry lacks its three actions"
icon=$(desktop_key Icon)
[ -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
for size in "${icon_sizes[@]}"; do
  png=/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ -f "$png" ] || fail "no ${size}x${size} icon $icon"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png is not ${size}x${size}"
done

# --version needs no display.
shown=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/strikeline --version)
[ "$shown" = "Strikeline $version" ] || fail "--version printed '$shown'"
shown=$(/usr/bin/strikeline-cli --version)
[ "$shown" = "strikeline-cli $version" ] || fail "strikeline-cli --version printed '$shown'"
# The manual pages format without a complaint (read from the package: a machine may be set
# to leave manual pages out when it installs).
for page in strikeline strikeline-cli; do
  problems=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \
    "$tmp/root/usr/share/man/man1/$page.1.gz" 2>&1 > /dev/null)
  [ -z "$problems" ] || fail "man $page: $problems"
done

# The installed headless command, as a user of its own, fetches a whole market from a local
# feed and exports a plan to Excel and Word: its modules are found where the package put them.
feed_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$build/tools/strikeline-market" --out "$tmp/feed" --feed > /dev/null
"$build/tools/strikeline-feed" --root "$tmp/feed" --port "$feed_port" 2> "$tmp/feed.log" &
feed_pid=$!
for _ in $(seq 50); do
  grep -q "Serving" "$tmp/feed.log" 2> /dev/null && break
  sleep 0.1
done
grep -q "Serving" "$tmp/feed.log" || { cat "$tmp/feed.log"; fail "the local feed did not start"; }
cli_home="$tmp/cli-home"
mkdir -p "$cli_home"
cli() {
  env HOME="$cli_home" XDG_CONFIG_HOME="$cli_home/.config" XDG_DATA_HOME="$cli_home/.local/share" \
    STRIKELINE_FEED_URL="http://127.0.0.1:$feed_port" STRIKELINE_SITE_URL="http://127.0.0.1:$feed_port" \
    /usr/bin/strikeline-cli "$@"
}
cli fetch --data "$tmp/fetched" > "$tmp/fetch.json" 2>&1 ||
  { cat "$tmp/fetch.json"; fail "the installed strikeline-cli could not fetch from the local feed"; }
for file in call.csv put.csv dividends.csv companyname.txt top20.txt; do
  [ -s "$tmp/fetched/$file" ] || { cat "$tmp/fetch.json"; fail "the fetch brought no $file"; }
done
for format in xlsx docx; do
  cli plan-export --plan tests/fixtures/userfiles/tradingplan.xml --format "$format" \
    --out "$tmp/plan.$format" > "$tmp/export.json" 2>&1 ||
    { cat "$tmp/export.json"; fail "the installed strikeline-cli could not export to $format"; }
  unzip -tq "$tmp/plan.$format" > /dev/null || fail "the $format export is no whole archive"
done
kill "$feed_pid" 2> /dev/null || true
wait "$feed_pid" 2> /dev/null || true
feed_pid=""

# A user of its own: empty home, folders and runtime folder (the single-instance socket),
# and data sources at a port where nothing listens, as on a first start without a network.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_HOME="$tmp/home/.local/share"
export XDG_CACHE_HOME="$tmp/home/.cache" XDG_RUNTIME_DIR="$tmp/runtime" TMPDIR="$tmp/tmp"
export STRIKELINE_FEED_URL="http://127.0.0.1:$port" STRIKELINE_SITE_URL="http://127.0.0.1:$port"
mkdir -p "$HOME" "$TMPDIR" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Strikeline/settings.reg"
data="$XDG_DATA_HOME/Strikeline"

# Waits up to $2 seconds for process $1 to end; its exit status is in $exit_status.
wait_for_exit() {
  local waited=0
  while kill -0 "$1" 2> /dev/null && [ "$waited" -lt "$(($2 * 10))" ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  kill -0 "$1" 2> /dev/null && return 1
  exit_status=0
  wait "$1" || exit_status=$?
}

# The offscreen platform: it starts, stays up, and on SIGTERM quits as its close box does,
# writing its settings and the user's files.
QT_QPA_PLATFORM=offscreen /usr/bin/strikeline > "$tmp/offscreen.log" 2>&1 &
pid=$!
sleep 5
kill -0 "$pid" 2> /dev/null || { cat "$tmp/offscreen.log"; fail "the program did not stay up"; }
[ -S "$XDG_RUNTIME_DIR/StrikelineAppRunning-$(id -u)" ] ||
  { cat "$tmp/offscreen.log"; fail "the running program does not answer a second copy"; }
# Whatever the start wrote goes, so what is there afterwards was written by the quit.
rm -f "$settings" "$data"/{tradingplan,diary,averagetrades}.xml
kill -TERM "$pid"
wait_for_exit "$pid" 30 || { cat "$tmp/offscreen.log"; fail "the program did not quit on SIGTERM"; }
pid=""
[ "$exit_status" -eq 0 ] || { cat "$tmp/offscreen.log"; fail "exit status $exit_status on SIGTERM"; }
[ "$(head -n 1 "$settings" | tr -d '\r')" = "Windows Registry Editor Version 5.00" ] ||
  fail "no settings file at $settings after quitting"
for file in tradingplan.xml diary.xml averagetrades.xml; do
  [ -s "$data/$file" ] || fail "$data/$file was not written at quit"
done

# A real X display (Xvfb): the window's class is the one the menu entry names, so docks
# and task bars put the window under the entry's icon.
wm_class=$(desktop_key StartupWMClass)
rm -rf "$HOME" && mkdir -p "$HOME"
window_class_test() {
  /usr/bin/strikeline -platform xcb > "$1/xcb.log" 2>&1 &
  local program=$! found="" tries=0 window
  while [ -z "$found" ] && [ "$tries" -lt 100 ] && kill -0 "$program" 2> /dev/null; do
    sleep 0.2
    tries=$((tries + 1))
    for window in $(xwininfo -root -children | awk '/^ +0x/ { print $1 }'); do
      if xprop -id "$window" WM_CLASS 2> /dev/null | grep -q "= \"strikeline\", \"$2\"$"; then
        found=$window
      fi
    done
  done
  kill -TERM "$program" 2> /dev/null || true
  local status=0
  wait "$program" || status=$?
  [ -n "$found" ] || { echo "no window of class $2 appeared" >&2; return 1; }
  [ "$status" -eq 0 ] || { echo "exit status $status on SIGTERM under X" >&2; return 1; }
}
# xvfb-run is a POSIX shell script, which drops exported functions: the definition goes along.
# shellcheck disable=SC2016 # $0 and $1 are the inner shell's
xvfb-run -a -s "-screen 0 1280x800x24" \
  bash -c "$(declare -f window_class_test)"'; window_class_test "$0" "$1"' "$tmp" "$wm_class" ||
  { cat "$tmp/xcb.log"; fail "the X11 start failed"; }
[ -f "$settings" ] || fail "no settings file after quitting under X"

remove_package || fail "apt-get could not remove strikeline"
afterwards=removed
if [ "$installed_before" = yes ]; then
  afterwards="left installed, as it was before"
elif dpkg-query -W -f='${Status}' strikeline 2> /dev/null | grep -q 'install ok installed'; then
  fail "strikeline is still installed after apt-get remove"
fi

size_kb=$(($(stat -c %s "$deb") / 1024))
dependencies=$(tr ',' '\n' <<< "$depends" | grep -c .)
echo "package-test: $(basename "$deb") (${size_kb} KB, $dependencies dependencies) installed," \
  "validated (lintian: no errors or warnings, $lintian_notes notes), started offscreen and" \
  "under X (window class $wm_class), quit cleanly on SIGTERM, fetched and exported headless" \
  "and $afterwards in $((SECONDS - started)) s"
