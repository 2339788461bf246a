# Bash completion for lumivex: its commands, each command's options, symbology names after -b,
# rotations after --rotate, units after --xdim's number, black and white after --fg and --bg,
# image files after render's -o, files (and - for standard input) after -i and --lines, files
# elsewhere. Commands and options are read from the program's own --help, so they follow the
# program that is installed.
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
  --xdim)
    # A length with its unit: the number typed so far, then mm, mil or in.
    local number=${cur%%[!0-9.]*}
    mapfile -t COMPREPLY < <(compgen -W "${number:-0.33}mm ${number:-13}mil ${number:-0.013}in" -- "$cur")
    return
    ;;
  -o | --output)
    if [[ ${path[*]} == render ]]; then
      # The formats render tells by the extension, and directories on the way to one.
      mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.@(png|bmp|svg|eps|pdf|PNG|BMP|SVG|EPS|PDF)' -- "$cur")
      return
    fi
    ;;
  --fg | --bg)
    # A colour, RRGGBB: black and white to start from, no file names.
    mapfile -t COMPREPLY < <(compgen -W "000000 FFFFFF" -- "$cur")
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
