#!/usr/bin/env bash
# The console examples of the documentation, pasted in order into one shell
# from the repository root as a user with the package installed would: each
# "$ " line is run, and what it prints (standard output and error) must be
# the lines that follow it up to the next "$ " line or the end of the
# example. A line "..." stands for any number of lines.
#
# Usage: readme_examples.sh REPOSITORY_ROOT CLI_FOLDER DOCUMENT...
set -euo pipefail

root=$(realpath -- "$1")
cli_folder=$(realpath -- "$2")
shift 2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The installed lists, where the package puts them, found through
# XDG_DATA_DIRS; nothing in the user's own data folder.
mkdir -p "$work/share/titles" "$work/home"
cp "$root/data/adjectives.txt" "$root/data/nouns.txt" "$work/share/titles/"

failures=0
for document in "$@"; do
  # Split the document's console examples into commands and expected output.
  awk -v dir="$work" '
    /^```console$/ { inside = 1; next }
    /^```/ { inside = 0; next }
    !inside { next }
    /^\$ / { n++; print substr($0, 3) > (dir "/cmd." n); printf "" > (dir "/want." n); next }
    n > 0 { print > (dir "/want." n) }
    END { print n + 0 > (dir "/count") }
  ' "$root/$document"
  count=$(cat "$work/count")
  # One shell runs every command in order, marking where each one's output
  # begins; the marks keep $? as the command before left it.
  script=$work/script.sh
  : >"$script"
  for ((i = 1; i <= count; i++)); do
    printf 'status=$?; echo "@@@ %d"; (exit $status)\n%s\n' "$i" "$(cat "$work/cmd.$i")" >>"$script"
  done
  (cd "$root" && env -i PATH="$cli_folder:/usr/bin:/bin" HOME="$work/home" LC_ALL=C \
      XDG_DATA_DIRS="$work/share" bash "$script" >"$work/got.all" 2>&1) || true
  awk -v dir="$work" '/^@@@ [0-9]+$/ { n = $2; printf "" > (dir "/got." n); next } { print > (dir "/got." n) }' \
    "$work/got.all"
  for ((i = 1; i <= count; i++)); do
    # The expected lines as an extended regular expression over the whole
    # output, "..." matching any lines.
    if ! awk -v wantfile="$work/want.$i" '
      function quote(s) { gsub(/[][\\.^$*+?(){}|]/, "\\\\&", s); return s }
      BEGIN {
        pattern = "^"
        while ((getline line < wantfile) > 0) pattern = pattern (line == "..." ? "(.*\n)*" : quote(line) "\n")
        pattern = pattern "$"
      }
      { got = got $0 "\n" }
      END { exit !(got ~ pattern) }
    ' "$work/got.$i"; then
      failures=$((failures + 1))
      echo "FAIL $document: \$ $(cat "$work/cmd.$i")"
      diff "$work/want.$i" "$work/got.$i" | head -20 || true
    else
      echo "ok   $document: \$ $(cat "$work/cmd.$i")"
    fi
  done
done
((failures == 0))
