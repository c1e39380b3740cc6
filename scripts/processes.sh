# Sourced by the scripts that start helper processes (demo.sh,
# windows-smoke.sh).

# Ends one process that the script started: politely, then for sure.
stop_pid() {
  local pid="$1" i
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for i in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Polls a command every 0.2 s until it succeeds; fails after TIMEOUT seconds,
# or at once when the program the caller keeps in app_pid (if any) has ended.
wait_until() {
  local timeout="$1"; shift
  local deadline=$((SECONDS + timeout))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    if [ -n "${app_pid:-}" ] && ! kill -0 "$app_pid" 2>/dev/null; then
      return 1
    fi
    sleep 0.2
  done
}
