#!/bin/sh
# Stands in for a program when help2man writes its manual page:
#   help-for-manual.sh PROGRAM --version|--help
# --version is the program's own. --help is the program's help, followed, for
# a program with subcommands, by a section COMMANDS with the help of each
# subcommand under its name, in the forms help2man reads as a section
# ("*Name*") and a subsection ("name:" over an indented line). So the manual
# page lists every subcommand and option that the program itself knows.
set -eu
program=$1
shift
if [ "${1:-}" != "--help" ]; then
  exec "$program" "$@"
fi

# The subcommands, from the indented names under "Subcommands:".
commands=$("$program" --help | awk '/^Subcommands:/ { listing = 1; next }
  listing && /^  [^ ]/ { print $1 }
  listing && /^$/ { listing = 0 }')

# The program's help without its list of subcommands, which the sections
# below replace, and without its closing list of exit codes, which the page's
# own section EXIT STATUS gives in full; each subcommand's usage joins the
# synopsis.
"$program" --help | awk -v commands="$commands" -v program="$program" '
  /^Exit status:$/ { exit }
  /^Subcommands:/ { skipping = 1; next }
  skipping && /^$/ { skipping = 0; next }
  skipping { next }
  { print }
  /^Usage:/ {
    n = split(commands, names, "\n")
    for (i = 1; i <= n; i++) {
      cmd = program " " names[i] " --help"
      while ((cmd | getline line) > 0) if (line ~ /^Usage:/) { sub(/^Usage: */, "", line); print "  or:  " line }
      close(cmd)
    }
  }'

# Each subcommand: its usage, its summary, then its arguments and options as
# one list (the -h,--help line, the same everywhere, left out), then any
# closing notes but the exit codes.
[ -z "$commands" ] || printf '\n*Commands*\n'
for command in $commands; do
  echo
  echo "$command:"
  "$program" "$command" --help | awk '
    NR == 1 { summary = $0; next }
    /^Usage:/ { sub(/^Usage: */, ""); print " " $0; print ""; print summary; next }
    /^(Positionals|Options):$/ { print ""; next }
    /^  -h,--help / { next }
    /^Exit status:$/ { exit }
    { print }'
done
