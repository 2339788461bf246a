# Bash completion for lumivex: its commands, each command's options, symbology names after -b and
# rotations after --rotate, files (and - for standard input) after -i and --lines, files elsewhere. Commands and options are read from the program's own
# --help, so they follow the program that is installed.
# shellcheck shell=bash

_lumivex_subcommands() { # HELP TEXT -> the names under "Subcommands:"
  awk '/^Subcommands:/ { on = 1; next } on && NF { print $1 }' <<<"$1"
}

_lumivex() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  local program=${COMP_WORDS[0]}
  # The command words given so far (render; form render), without options and their values.
  local path=() help i
  help=$("$program" --help 2>/dev/null)
  for ((i = 1; i < COMP_CWORD; ++i)); do
    local word=${COMP_WORDS[i]}
    [[ $word == -* ]] && continue
    if _lumivex_subcommands "$help" | grep -qx -- "$word"; then
      path+=("$word")
      help=$("$program" "${path[@]}" --help 2>/dev/null)
    fi
  done

  case $prev in
  -b | --barcode)
    local names
    names=$("$program" list 2>/dev/null | awk 'NR > 1 { print $1; gsub(",", " ", $2); print $2 }')
    mapfile -t COMPREPLY < <(compgen -W "$names" -- "$cur")
    return
    ;;
  --rotate)
    mapfile -t COMPREPLY < <(compgen -W "0 90 180 270" -- "$cur")
    return
    ;;
  -i | --input | --lines) # a file of lines, or - for standard input
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
    return
    ;;
  esac

  if [[ $cur == -* ]]; then
    local options
    options=$(grep -oE '(^|[ ,])--?[A-Za-z][-A-Za-z0-9_]*' <<<"$help" | tr -d ' ,' | sort -u)
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi
  local subs
  subs=$(_lumivex_subcommands "$help")
  if [[ -n $subs ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$subs" -- "$cur")
    return
  fi
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

complete -o filenames -F _lumivex lumivex
