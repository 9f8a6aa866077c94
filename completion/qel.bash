# bash completion of qel: its commands, their options, and the files each takes.
_qel() {
  local cur prev command
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  if [[ $COMP_CWORD -eq 1 ]]; then
    COMPREPLY=($(compgen -W "build check show fmt explain new help --help --version" -- "$cur"))
    return
  fi
  command=${COMP_WORDS[1]}
  case $command in
    build)
      case $prev in
        -j | --jobs) return ;;
        -o | --output) COMPREPLY=($(compgen -d -- "$cur")); return ;;
      esac
      if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "-j --jobs -o --output --werror --keep-going --help" -- "$cur"))
      else
        COMPREPLY=($(compgen -f -X '!*.@(daf|ipf|DAF|IPF)' -- "$cur") $(compgen -d -- "$cur"))
      fi
      ;;
    check | fmt)
      if [[ $cur == -* ]]; then
        local options="--help"
        [[ $command == fmt ]] && options="--check --help"
        [[ $command == check ]] && options="--format --jobs --max-errors --list-checks -Werror -W --help --version"
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
      else
        COMPREPLY=($(compgen -f -X '!*.@(daf|ipf|DAF|IPF)' -- "$cur") $(compgen -d -- "$cur"))
      fi
      ;;
    show)
      if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "--json --get --diff --by-index --source --html --title -o --layout --help --version" -- "$cur"))
      else
        COMPREPLY=($(compgen -f -X '!*.@(dab|ipb|DAB|IPB)' -- "$cur") $(compgen -d -- "$cur"))
      fi
      ;;
    explain)
      [[ $COMP_CWORD -eq 2 ]] &&
        COMPREPLY=($(compgen -W "$(qellint --list-checks 2>/dev/null | cut -d' ' -f1)" -- "$cur"))
      ;;
    new)
      [[ $COMP_CWORD -eq 2 ]] && COMPREPLY=($(compgen -W "daf ipf" -- "$cur"))
      ;;
    help)
      [[ $COMP_CWORD -eq 2 ]] && COMPREPLY=($(compgen -W "build check show fmt explain new" -- "$cur"))
      ;;
  esac
  return 0
}
complete -o filenames -F _qel qel
