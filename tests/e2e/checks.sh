# The end-to-end scripts' checks, sourced by each: every check counts as
# passed or failed, and the script ends with the tally.

failures=0
passes=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then
    passes=$((passes + 1)); echo "ok: $1"
  else
    failures=$((failures + 1)); echo "FAILED: $1" >&2
  fi
}
until_true() { # until_true SECONDS COMMAND...: retries the command every 50 ms
  local deadline=$((SECONDS + $1))
  until "${@:2}"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}
exits_with() { # exits_with PID CODE SECONDS
  local deadline=$((SECONDS + $3)) code=0
  while kill -0 "$1" 2>/dev/null; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
  wait "$1" || code=$?
  [[ $code -eq $2 ]] || { echo "exit code $code, expected $2" >&2; return 1; }
}
tally() { # the script's end: the counts, and its exit code
  echo "$passes passed, $failures failed"
  [[ $failures -eq 0 ]]
}
