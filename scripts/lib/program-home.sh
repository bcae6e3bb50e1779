# Sourced by the scripts that start the real program on folders of their own: the user
# files it reads at start and writes at quit, laid out where it looks for them, and a
# helper that starts it and waits until it catches signals.

# The user files as the program finds them, relative to a home made by make_program_home.
user_files=(data/Strikeline/tradingplan.xml data/Strikeline/diary.xml
  data/Strikeline/averagetrades.xml config/Strikeline/settings.reg)

# Usage: make_program_home DIR PLAN_ROWS
# Writes the sample user files, each indented otherwise than the program writes it (and a
# hand-written settings file), so that every quit writes files that differ from those it
# read. The plan holds PLAN_ROWS rows, so that its save takes a while.
make_program_home() {
  local home=$1 rows=$2 fixtures=tests/fixtures
  rm -rf "$home"
  mkdir -p "$home/data/Strikeline" "$home/config/Strikeline"
  chmod 700 "$home"
  python3 - "$fixtures/userfiles/tradingplan.xml" "$rows" > "$home/data/Strikeline/tradingplan.xml" << 'EOF'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
entries = re.findall(r"    <Entry>.*?</Entry>\n", text, re.S)
head = text[: text.index("    <Entry>")]
tail = text[text.rindex("</Entry>\n") + len("</Entry>\n") :]
rows = int(sys.argv[2])
sys.stdout.write((head + "".join(entries[i % len(entries)] for i in range(rows)) + tail).replace("\n    ", "\n\t"))
EOF
  for name in diary averagetrades; do
    sed 's/^    /\t/' "$fixtures/userfiles/$name.xml" > "$home/data/Strikeline/$name.xml"
  done
  cp "$fixtures/fuzz/FuzzSettingsFile/handwritten.reg" "$home/config/Strikeline/settings.reg"
}

# Usage: program_environment HOME
# Prints the environment, one NAME=VALUE a line, for `env` to start the program on HOME
# with a feed address nobody answers.
program_environment() {
  local home=$1
  printf '%s\n' "XDG_RUNTIME_DIR=$home" "XDG_CONFIG_HOME=$home/config" \
    "XDG_DATA_HOME=$home/data" STRIKELINE_FEED_URL=http://127.0.0.1:9 \
    STRIKELINE_SITE_URL=http://127.0.0.1:9 QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS=detect_leaks=0
}

# Usage: start_program APP HOME LOG
# Starts the program in the background (its process id in program_pid) and returns once its
# single-copy socket exists: from then on it closes on SIGTERM.
start_program() {
  local app=$1 home=$2 log=$3
  local -a environment
  mapfile -t environment < <(program_environment "$home")
  # Through a pipe: a file-size limit on the program must not cut its messages.
  env "${environment[@]}" "$app" > >(cat > "$log") 2>&1 &
  program_pid=$!
  local socket
  socket="$home/StrikelineAppRunning-$(id -u)"
  for _ in $(seq 1000); do
    [ -S "$socket" ] && return 0
    kill -0 "$program_pid" 2> /dev/null || { cat "$log" >&2; return 1; }
    sleep 0.02
  done
  echo "the program did not start" >&2
  return 1
}

# Usage: wait_program SECONDS
# Waits for the program started last to end on its own and sets program_status to its exit
# status; after SECONDS it is killed and program_status is "hung".
wait_program() {
  local deadline=$((SECONDS + $1))
  # An ended program stays a zombie until it is waited for: its state (the third field of
  # /proc/PID/stat) is then Z.
  while [ -e "/proc/$program_pid" ] && [ "$(cut -d ' ' -f 3 "/proc/$program_pid/stat" 2> /dev/null)" != Z ]; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      kill -KILL "$program_pid" 2> /dev/null || true
      wait "$program_pid" 2> /dev/null || true
      program_status=hung
      return 0
    fi
    sleep 0.02
  done
  program_status=0
  wait "$program_pid" || program_status=$?
}

# Milliseconds since the epoch.
now_ms() {
  echo $(($(date +%s%N) / 1000000))
}

# Usage: sleep_ms N
sleep_ms() {
  sleep "$(awk -v ms="$1" 'BEGIN { printf "%.3f", ms / 1000 }')"
}
