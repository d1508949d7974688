#!/usr/bin/env bash
# glowctl's bash completion offers the verbs, each verb's words and options,
# and the ports.
set -uo pipefail
source "$1"
status=0
complete_words() {  # the command line so far, the word being completed last
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _glowctl
  echo "${COMPREPLY[*]}"
}
expect() {  # what is offered must hold each expected word
  local offered=$1; shift
  for word in "$@"; do
    [[ " $offered " == *" $word "* ]] || { echo "missing '$word' in: $offered"; status=1; }
  done
}
expect "$(complete_words glowctl "")" find read diff write default-message clock idle-time message factory-reset --port
expect "$(complete_words glowctl --port COM1 message Hi --)" --id --priority --beep --timeout --font
expect "$(complete_words glowctl --port COM1 write x.led --d)" --dry-run
expect "$(complete_words glowctl --port "")" COM1 COM12
expect "$(complete_words glowctl --port COM1 idle-time "")" on off status
expect "$(complete_words glowctl --port COM1 factory-reset --)" --yes
[[ "$(complete_words glowctl --port COM1 find --d)" == "" ]] || { echo "find offers --dry-run"; status=1; }
complete -p glowctl | grep -q _glowctl || { echo "not registered for glowctl"; status=1; }
exit $status
