#!/usr/bin/env bash
# Every command line the settings tools can build from the options file is
# accepted by the program: each slider at its ends and default, each check
# box, each menu entry and each text field. Usage: check-options-file.sh
# PROGRAM OPTIONS.xml
set -euo pipefail
program=$1 xml=$2
failed=0
try() { # arguments...
  if ! "$program" "$@" --help >/dev/null 2>"$tmp"; then
    echo "rejected: $* ($(cat "$tmp"))" >&2
    failed=1
  fi
}
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
attr() { xmllint --xpath "string($1)" "$xml"; }
count() { xmllint --xpath "count($1)" "$xml"; }

# The command the hosts always add.
read -r -a base <<<"$(attr '//command/@arg')"
try "${base[@]}"

for ((i = 1; i <= $(count '//number'); i++)); do
  arg=$(attr "(//number)[$i]/@arg")
  for value in low high default; do
    read -r -a words <<<"${arg/\%/$(attr "(//number)[$i]/@$value")}"
    try "${words[@]}"
  done
done
for ((i = 1; i <= $(count '//string | //file'); i++)); do
  arg=$(attr "(//string | //file)[$i]/@arg")
  try "${arg% %}" "Some text"
done
# Check boxes and menu entries: arg-set / arg-unset hold whole words, except
# that a value may contain spaces only where the program takes one argument.
for path in '//@arg-set' '//@arg-unset'; do
  for ((i = 1; i <= $(count "$path"); i++)); do
    read -r option value <<<"$(attr "($path)[$i]")"
    if [ -n "${value:-}" ]; then try "$option" "$value"; else try "$option"; fi
  done
done
[ "$(count '//@arg-set | //@arg-unset | //number | //string')" -ge 20 ] || {
  echo "the options file offers fewer options than expected" >&2
  failed=1
}
exit $failed
