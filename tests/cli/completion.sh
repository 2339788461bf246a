#!/usr/bin/env bash
# The bash completion, asked as bash asks it: COMP_WORDS and COMP_CWORD set, then the function.
#   completion.sh COMPLETION_FILE LUMIVEX
set -euo pipefail
source "$1"
lumivex=$2
fails=0
expect() { # WANTED LINE...: the words to complete, the last one being typed
  local want=$1
  shift
  COMP_WORDS=("$lumivex" "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _lumivex
  if ! printf '%s\n' "${COMPREPLY[@]}" | grep -qx -- "$want"; then
    echo "FAIL: lumivex $* offers ${COMPREPLY[*]:-nothing}, not $want"
    fails=1
  fi
}
expect render ren
expect batch ba
expect --scale render --sc
expect --filter render --fi
expect --input render --inp
expect --lines batch --li
expect - batch --lines ""
expect convert form con
expect ean13 render -b ea
expect 270 render --rotate 2
expect --fg render --f
expect FFFFFF batch --bg F
expect --types --ty
expect --xdim render --xd
expect 0.33mm render --xdim 0.33
expect 13mil render --xdim 13m
exit $fails
