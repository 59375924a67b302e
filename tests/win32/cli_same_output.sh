#!/usr/bin/env bash
# titles-cli.exe under Wine must print byte for byte what the Linux titles-cli
# prints: the same titles for the same seed and lists, the same messages and
# the same exit codes. Only the reason the system gives for a file that
# cannot be opened is the system's own (strerror, FormatMessage) and is left
# out of the comparison.
#
# Usage: cli_same_output.sh LINUX_CLI WINDOWS_CLI_EXE WINE_RUN DATA_DIR
set -euo pipefail

linux_cli=$(realpath -- "$1")
windows_cli=$(realpath -- "$2")
wine_run=$(realpath -- "$3")
data_dir=$(realpath -- "$4")

if [[ ! -x $linux_cli ]]; then
  echo "missing $linux_cli: build the default preset first" >&2
  exit 1
fi
[[ -f $windows_cli ]] || { echo "missing $windows_cli" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# English messages on both sides unless a case asks for Japanese.
export LC_ALL=C

cp "$data_dir/adjectives.txt" "$data_dir/nouns.txt" "$work/"
# CR LF line ends, bytes above 127 (Latin-1 and Shift_JIS pairs), "&",
# tabs, spaces kept at both ends, a UTF-8 byte-order mark, empty lines.
printf '\xef\xbb\xbfDark\r\nSilent \t\r\n\xe4rger & Co\r\n\r\n\x82\xa0\x82\xa2\r\n  Golden\r\nBroken' >"$work/adj-crlf.txt"
printf 'Running\r\nCastle & Keep\r\nDragon\tTail\r\n\x93\xfa\x96\x7bing\r\nStar\rMoon\nSword\n\xff\xfe\r\nFalling\r\n' >"$work/noun-crlf.txt"
# Text after a zero byte is never read.
printf 'Alpha\nBeta\x00Gamma\nDelta\n' >"$work/adj-nul.txt"
printf 'Writing\nStone\nRiver\n' >"$work/noun-small.txt"
printf 'Only\n' >"$work/adj-one.txt"
# Odd word files: UTF-16 (stops at its first zero byte), line ends alone or
# reversed, nothing but line ends, control bytes, bytes that are not UTF-8,
# one line of 1 MiB.
printf '\xff\xfeD\0a\0r\0k\0\r\0\n\0' >"$work/utf16.txt"
printf 'Dark\rSilent\n\rGolden\r\r\n' >"$work/odd-ends.txt"
printf '\r\n\n\r\r\n' >"$work/only-ends.txt"
printf '\x1a\x0c\x1b\x7f\n\x01\x02\x03\n\xc3\x28\n\xff\xfe\xfd\n\xed\xa0\x80\n' >"$work/odd-bytes.txt"
head -c 1048576 /dev/zero | tr '\0' 'w' >"$work/long-line.txt"
: >"$work/empty.txt"
mkdir "$work/folder"

cases=0
failures=0

# run NAME ARG... : runs both programs in the work directory (or its
# subfolder RUN_DIR) and compares standard output, standard error and the
# exit code. Standard input is the file RUN_STDIN names, or empty.
run() {
  local name=$1
  shift
  cases=$((cases + 1))
  local lin_rc=0 win_rc=0
  local input=${RUN_STDIN:-/dev/null}
  local dir=$work/${RUN_DIR:-}
  (cd "$dir" && "$linux_cli" "$@" <"$input" >"$work/lin.out" 2>"$work/lin.err") || lin_rc=$?
  local attempt
  for attempt in 1 2 3; do
    win_rc=0
    (cd "$dir" && "$wine_run" "$windows_cli" "$@" <"$input" >"$work/win.out" 2>"$work/win.err") || win_rc=$?
    # A message of Wine's own launcher (its server going away under it, for
    # one) means the program never ran: start it again.
    grep -q '^wine: ' "$work/win.err" || break
    echo "note $name: Wine failed to start the program, retrying: $(head -1 "$work/win.err")"
  done
  local stream
  for stream in lin.err win.err; do
    # Also dropped: the complaint of Wine's launcher script (bash) about a
    # locale that this system lacks; Wine itself still takes it up.
    sed -E -e 's/^(titles-cli: cannot open [^:]*): .*$/\1/' -e '/: warning: setlocale: /d' \
      "$work/$stream" >"$work/$stream.cut"
    mv "$work/$stream.cut" "$work/$stream"
  done
  local problem=""
  cmp -s "$work/lin.out" "$work/win.out" || problem+=" stdout"
  cmp -s "$work/lin.err" "$work/win.err" || problem+=" stderr"
  [[ $lin_rc == "$win_rc" ]] || problem+=" exit code (linux $lin_rc, windows $win_rc)"
  if [[ -n $problem ]]; then
    failures=$((failures + 1))
    echo "FAIL $name:$problem"
    for stream in out err; do
      if ! cmp -s "$work/lin.$stream" "$work/win.$stream"; then
        echo "--- linux std$stream / windows std$stream:"
        diff <(od -An -c "$work/lin.$stream") <(od -An -c "$work/win.$stream") | head -20 || true
      fi
    done
  else
    echo "ok   $name (exit $lin_rc, $(wc -c <"$work/lin.out") bytes out, $(wc -c <"$work/lin.err") bytes err)"
  fi
  last_rc=$lin_rc
}

# expect_rc CODE: the case just run must have ended with CODE on both sides.
expect_rc() {
  if [[ $last_rc != "$1" ]]; then
    failures=$((failures + 1))
    echo "FAIL: expected exit code $1, got $last_rc"
  fi
}

# Titles from the shipped lists, found by their default names.
for seed in 0 1 45296789 86399999 4294967295; do
  run "shipped lists, seed $seed" --seed "$seed" --count 300
  expect_rc 0
done
run "shipped lists, many titles" --seed 2024 --count 20000
expect_rc 0
run "no titles" --seed 7 --count 0
expect_rc 0

# Lists with CR LF, high bytes, "&", tabs and a zero byte.
for seed in 0 3 99999 4000000000; do
  run "CR LF lists, seed $seed" --seed "$seed" --count 500 --adjectives adj-crlf.txt --nouns noun-crlf.txt
  expect_rc 0
done
run "zero byte ends the list" --seed 11 --count 200 --adjectives=adj-nul.txt --nouns=noun-crlf.txt
expect_rc 0

# Odd word files: the same titles, or the same failure.
for list in utf16 odd-ends only-ends odd-bytes long-line; do
  run "$list as adjectives" --seed 77 --count 40 --adjectives "$list.txt" --nouns noun-crlf.txt
  run "$list as nouns" --seed 77 --count 40 --adjectives adj-crlf.txt --nouns "$list.txt"
done

# Failures: the same message bytes and exit codes.
run "missing adjective file" --seed 1 --adjectives missing.txt
expect_rc 1
run "missing noun file" --seed 1 --nouns no-nouns.txt
expect_rc 1
run "directory as word file" --seed 1 --adjectives folder
expect_rc 1
run "both files missing, adjectives named" --adjectives a.txt --nouns b.txt
expect_rc 1
run "lists too small" --seed 5 --count 50 --adjectives adj-one.txt --nouns noun-small.txt
expect_rc 1
run "empty noun list" --seed 5 --nouns empty.txt
expect_rc 1

# Lists from standard input: both programs read the same file.
RUN_STDIN=$work/adj-crlf.txt run "adjectives from standard input" --seed 9 --count 300 --adjectives -
expect_rc 0
RUN_STDIN=$work/noun-crlf.txt run "nouns from standard input" -s 9 -n 300 -N -
expect_rc 0

# Lists of the user's own, found from a folder that holds none: in
# %APPDATA%\Titles on Windows as in $XDG_DATA_HOME/titles on Linux.
appdata=$("$wine_run" winepath.exe -u "$("$wine_run" cmd.exe /c 'echo %APPDATA%' | tr -d '\r\n')" | tr -d '\r\n')
mkdir -p "$work/empty" "$work/xdg/titles" "$appdata/Titles"
trap 'rm -rf "$work" "$appdata/Titles"' EXIT
for folder in "$work/xdg/titles" "$appdata/Titles"; do
  cp "$work/adj-crlf.txt" "$folder/adjectives.txt"
  cp "$work/noun-crlf.txt" "$folder/nouns.txt"
done
RUN_DIR=empty XDG_DATA_HOME=$work/xdg run "lists in the user's own folder" --seed 8 --count 300
expect_rc 0
rm -rf "$appdata/Titles"

# Messages in Japanese under a Japanese locale.
LC_ALL=ja_JP.UTF-8 run "Japanese: missing file" --seed 1 --adjectives missing.txt
expect_rc 1
LC_ALL=ja_JP.UTF-8 run "Japanese: lists too small" --seed 5 --count 50 --adjectives adj-one.txt --nouns noun-small.txt
expect_rc 1

# The reports on the lists.
run "check report" --check --adjectives adj-crlf.txt --nouns noun-crlf.txt
run "statistics as JSON" --stats --format json

# Usage errors and help.
run "unknown argument" --colour
expect_rc 2
run "seed not a number" --seed abc
expect_rc 2
run "seed out of range" --seed 4294967296
expect_rc 2
run "count negative" --count -1
expect_rc 2
run "value missing" --nouns
expect_rc 2
run "ambiguous abbreviation" --s 1
expect_rc 2
run "unknown short option" -x
expect_rc 2
run "short options and --" -s 42 -n 30 -a adj-crlf.txt -N noun-crlf.txt --
expect_rc 0
run "abbreviations" --se=42 --cou 30 --adj adj-crlf.txt --no=noun-crlf.txt
expect_rc 0
run "help" --help
expect_rc 0
run "version" --version
expect_rc 0

# On a console (script gives Wine a terminal) the lists' bytes and a file
# name in a message are shown from the ANSI code page, here Windows-1252:
# the byte 0xE9 reads "é".
cases=$((cases + 1))
printf 'Caf\xe9\nCaf\xe9\n' >"$work/adj-1252.txt"
console=$(cd "$work" && LC_ALL=C.UTF-8 WINEDEBUG=-all script -qc "wine '$windows_cli' -s 1 -a adj-1252.txt \
  -N noun-crlf.txt; wine '$windows_cli' -a café.txt" /dev/null | tr -d '\r')
if [[ $console == *"Café "* && $console == *"cannot open café.txt"* ]]; then
  echo "ok   code page text on a console"
else
  failures=$((failures + 1))
  echo "FAIL code page text on a console:"
  printf '%s\n' "$console" | od -c | head -10
fi

echo "$cases cases, $failures failed"
((failures == 0))
