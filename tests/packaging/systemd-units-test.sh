#!/usr/bin/env bash
# The scheduled fetch's systemd user units as the package installs them: the packaging
# part of the build is installed into a temporary root with the package's prefix, the
# service must run the installed headless command's fetch, and systemd's own checker
# verifies both units, with the service pointed at the command just built (the checker
# wants the program to exist) and the manual page the units name installed beside them.
# The timer must fire on weekdays at 17:30 in Sydney.
#
# Usage: systemd-units-test.sh PACKAGING_BUILD_DIR STRIKELINE_CLI
set -euo pipefail
packaging=${1:?usage: systemd-units-test.sh PACKAGING_BUILD_DIR STRIKELINE_CLI}
cli=${2:?usage: systemd-units-test.sh PACKAGING_BUILD_DIR STRIKELINE_CLI}

fail() {
  echo "systemd-units-test: $*" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
DESTDIR=$work/root cmake -DCMAKE_INSTALL_PREFIX=/usr -P "$packaging/cmake_install.cmake" \
  > "$work/install.log" || { cat "$work/install.log"; fail "the packaging files did not install"; }

units=$work/root/usr/lib/systemd/user
service=$units/strikeline-fetch.service
timer=$units/strikeline-fetch.timer
[ -f "$service" ] && [ -f "$timer" ] || fail "the units are not in /usr/lib/systemd/user"
grep -qx 'ExecStart=/usr/bin/strikeline-cli fetch --notify' "$service" ||
  fail "the service does not run /usr/bin/strikeline-cli fetch --notify: $(grep ExecStart "$service")"
# Off until the user enables the timer: nothing but the timer may be wanted by a target.
! grep -q '^\[Install\]' "$service" || fail "the service installs itself; the timer should"
grep -qx 'WantedBy=timers.target' "$timer" || fail "the timer is not wanted by timers.target"
grep -qx 'Persistent=true' "$timer" || fail "the timer does not make up missed runs"

# The checker runs what ExecStart names, so the built command stands in for the installed.
mkdir -p "$work/check"
sed "s|^ExecStart=/usr/bin/strikeline-cli |ExecStart=$cli |" "$service" > "$work/check/strikeline-fetch.service"
cp "$timer" "$work/check/"
grep -q "^ExecStart=$cli fetch --notify$" "$work/check/strikeline-fetch.service" || fail "ExecStart was not replaced"
mkdir -m 700 "$work/runtime"
(cd "$work/check" && XDG_RUNTIME_DIR=$work/runtime MANPATH=$work/root/usr/share/man \
  systemd-analyze verify --user ./strikeline-fetch.timer ./strikeline-fetch.service) \
  > "$work/verify.log" 2>&1 || { cat "$work/verify.log"; fail "systemd-analyze verify rejects the units"; }
if [ -s "$work/verify.log" ]; then
  cat "$work/verify.log"
  fail "systemd-analyze verify has something to say about the units"
fi

# The next five runs: Monday to Friday, 17:30 in Sydney, whatever this machine's zone.
calendar=$(sed -n 's/^OnCalendar=//p' "$timer")
TZ=Australia/Sydney systemd-analyze calendar --iterations 5 "$calendar" > "$work/calendar.log" ||
  fail "systemd-analyze does not read OnCalendar=$calendar"
days=$(grep -Eo '(Next elapse|Iter\. #[0-9]+): [A-Za-z]{3} [0-9-]+ [0-9:]+ [A-Z]+' "$work/calendar.log" |
  awk '{print $(NF-3), $(NF-1), $NF}' | sort -u)
[ "$(wc -l <<< "$days")" -eq 5 ] || { cat "$work/calendar.log"; fail "not five runs"; }
while read -r day time zone; do
  case $day in Mon | Tue | Wed | Thu | Fri) ;; *) fail "a run on $day" ;; esac
  [ "$time" = 17:30:00 ] || fail "a run at $time $zone"
done <<< "$days"
echo "systemd-units-test: both units verified; the fetch runs on weekdays at 17:30 Sydney time"
